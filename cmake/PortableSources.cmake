# Byte-level code: no <windows.h>, built into the program and also natively
# (cmake/Native.cmake) so that it runs under the sanitizers and a fuzzer.
set(PORTABLE_SOURCES
  ${CMAKE_SOURCE_DIR}/startup/TempName.cpp
  ${CMAKE_SOURCE_DIR}/setupconfig/AttrInt.cpp
  ${CMAKE_SOURCE_DIR}/report/Blowfish.cpp
  ${CMAKE_SOURCE_DIR}/report/Base64.cpp
  ${CMAKE_SOURCE_DIR}/report/TextCipher.cpp
  ${CMAKE_SOURCE_DIR}/report/JsonReaders.cpp
)
# Their tests, run both under Wine and natively.
set(PORTABLE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/portable/TempNameTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/AttrIntTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/TextCipherTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/JsonReadersTest.cpp
)

# Only the sources that exist: a module is listed here before it is written.
set(existing)
foreach(source ${PORTABLE_SOURCES})
  if(EXISTS ${source})
    list(APPEND existing ${source})
  endif()
endforeach()
set(PORTABLE_SOURCES ${existing})
set(existing)
foreach(source ${PORTABLE_TESTS})
  if(EXISTS ${source})
    list(APPEND existing ${source})
  endif()
endforeach()
set(PORTABLE_TESTS ${existing})

add_library(uninst_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(uninst_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(uninst_portable PUBLIC cjson)
project_warnings(uninst_portable)
