# Constants of the build. The hosts default to the reserved .invalid domain so
# that an unconfigured build can never reach a real server; a release sets
# them with -D.
set(UNINSTALL_TRUSTED_PUBLISHER "Zelo Wallpaper Technology Co., Ltd." CACHE STRING
    "Simple display name of the code-signing certificate of the product's files")
set(UNINSTALL_OTHER_SIGNER "Unrelated Test Signer Ltd." CACHE STRING
    "Signer used by the tests for a file the program must not trust")
set(UNINSTALL_STAT_HOST "stat.zuzire.invalid" CACHE STRING "Statistics host")
set(UNINSTALL_REPORT_HOST "report.zuzire.invalid" CACHE STRING "Uninstall report host")
set(UNINSTALL_HOME_PAGE "http://www.zuzire.invalid/" CACHE STRING "Product home page")
set(UNINSTALL_FEEDBACK_URL_TEMPLATE "" CACHE STRING
    "Remote uninstall configuration: questionnaire request (three %s)")
set(UNINSTALL_FEEDBACK_URL_TEMPLATE2 "" CACHE STRING
    "Remote uninstall configuration: second request (three %s)")

configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildConstants.h.in
               ${CMAKE_BINARY_DIR}/generated/BuildConstants.h @ONLY)
