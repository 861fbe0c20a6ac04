# Byte-level code: no <windows.h>, built into the program and also natively
# (cmake/Native.cmake) so that it runs under the sanitizers and a fuzzer.
set(PORTABLE_SOURCES
  ${CMAKE_SOURCE_DIR}/startup/TempName.cpp
  ${CMAKE_SOURCE_DIR}/setupconfig/AttrInt.cpp
)
# Their tests, run both under Wine and natively.
set(PORTABLE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/portable/TempNameTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/portable/AttrIntTest.cpp
)

add_library(uninst_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(uninst_portable PUBLIC ${CMAKE_SOURCE_DIR})
project_warnings(uninst_portable)
