# Native build of the byte-level code with AddressSanitizer and
# UndefinedBehaviorSanitizer; its tests run directly on the host.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(${SANITIZE} -g -O1)
add_link_options(${SANITIZE})

include(cmake/PortableSources.cmake)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()
add_executable(portable_tests ${PORTABLE_TESTS})
target_link_libraries(portable_tests PRIVATE uninst_portable GTest::gtest_main)
project_warnings(portable_tests)
include(GoogleTest)
gtest_discover_tests(portable_tests DISCOVERY_MODE PRE_TEST)
