# Byte-level code: no <windows.h>, built into the program and also natively
# (cmake/Native.cmake) so that it runs under the sanitizers and a fuzzer.
set(PORTABLE_SOURCES
  ${CMAKE_SOURCE_DIR}/startup/TempName.cpp
  ${CMAKE_SOURCE_DIR}/setupconfig/AttrInt.cpp
  ${CMAKE_SOURCE_DIR}/report/Blowfish.cpp
  ${CMAKE_SOURCE_DIR}/report/Base64.cpp
  ${CMAKE_SOURCE_DIR}/report/Utf8.cpp
  ${CMAKE_SOURCE_DIR}/report/TextCipher.cpp
  ${CMAKE_SOURCE_DIR}/report/JsonReaders.cpp
)
# Their tests, run both under Wine and natively.
set(PORTABLE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/portable/TempNameTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/AttrIntTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/TextCipherTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/Utf8Test.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/JsonReadersTest.cpp
)

# Only the files that exist: a module is listed here before it is written.
function(keep_existing list_name)
  set(existing)
  foreach(file ${${list_name}})
    if(EXISTS ${file})
      list(APPEND existing ${file})
    endif()
  endforeach()
  set(${list_name} ${existing} PARENT_SCOPE)
endfunction()
keep_existing(PORTABLE_SOURCES)
keep_existing(PORTABLE_TESTS)

add_library(uninst_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(uninst_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(uninst_portable PUBLIC cjson)
project_warnings(uninst_portable)
