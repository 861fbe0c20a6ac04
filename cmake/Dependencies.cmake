# Third-party code, all from Debian's registry, cached under the build tree:
#   7z.dll   built from the 7zip source package (bundle Format7zF),
#   cJSON    compiled from the cjson source package,
#   GoogleTest from /usr/src/googletest.
set(DEPS_DIR ${CMAKE_BINARY_DIR}/deps)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-deps ${DEPS_DIR}
                RESULT_VARIABLE deps_result)
if(NOT deps_result EQUAL 0)
  message(FATAL_ERROR "fetching or building the dependencies failed")
endif()
file(READ ${DEPS_DIR}/7z.dll.version SEVENZIP_SOURCE_VERSION)
string(STRIP "${SEVENZIP_SOURCE_VERSION}" SEVENZIP_SOURCE_VERSION)
message(STATUS "7z.dll built from ${SEVENZIP_SOURCE_VERSION}")
set(SEVENZIP_DLL ${DEPS_DIR}/7z.dll)

add_library(cjson STATIC ${DEPS_DIR}/cjson/cJSON.c)
target_include_directories(cjson SYSTEM PUBLIC ${DEPS_DIR}/cjson)
# Without CJSON_HIDE_SYMBOLS every cJSON function would be exported from the
# executable; without the ANSI stdio numbers would print as 1e+020.
target_compile_definitions(cjson PUBLIC CJSON_HIDE_SYMBOLS PRIVATE __USE_MINGW_ANSI_STDIO=1)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
