# The release's one time, for every shipped byte that holds a time: SOURCE_DATE_EPOCH when set,
# else the date of the last commit of BRM_SOURCE_DIR. Sets BRM_SOURCE_DATE (seconds since 1970).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(BRM_SOURCE_DATE "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${BRM_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE BRM_SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT BRM_SOURCE_DATE MATCHES "^[0-9]+$")
  message(FATAL_ERROR "no release time: ${BRM_SOURCE_DIR} gives no last commit date and "
    "SOURCE_DATE_EPOCH is '$ENV{SOURCE_DATE_EPOCH}'; set SOURCE_DATE_EPOCH to the source's date "
    "in seconds since 1970 (git log -1 --format=%ct of its commit)")
endif()
