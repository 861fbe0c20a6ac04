# One warning policy for every target of the project.
function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wno-missing-field-initializers -Wno-cast-function-type)
endfunction()
