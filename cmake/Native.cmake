# Native build of the byte-level code with AddressSanitizer and
# UndefinedBehaviorSanitizer; its tests run directly on the host.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(${SANITIZE} -g -O1)
add_link_options(${SANITIZE})

set(DEPS_DIR ${CMAKE_BINARY_DIR}/deps)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-deps ${DEPS_DIR} --cjson-only RESULT_VARIABLE deps_result)
if(NOT deps_result EQUAL 0)
  message(FATAL_ERROR "fetching the cJSON sources failed")
endif()
add_library(cjson STATIC ${DEPS_DIR}/cjson/cJSON.c)
target_include_directories(cjson SYSTEM PUBLIC ${DEPS_DIR}/cjson)
target_compile_definitions(cjson PUBLIC CJSON_HIDE_SYMBOLS)

include(cmake/PortableSources.cmake)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()
add_executable(portable_tests ${PORTABLE_TESTS})
target_link_libraries(portable_tests PRIVATE uninst_portable GTest::gtest_main)
project_warnings(portable_tests)
include(GoogleTest)
gtest_discover_tests(portable_tests DISCOVERY_MODE PRE_TEST)
