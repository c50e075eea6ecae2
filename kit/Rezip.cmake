# Run by cpack once it has zipped the staged kit and symbols: zips each again so that one source
# gives one zip: entries in name order, each dated the source's date (in UTC) and readable by
# all, with no owner, extra times or folder entries (cpack's own zip takes each file's clock
# time, the folder's listing order and the owner's ids).
file(REMOVE ${CPACK_PACKAGE_FILES})
set(BRM_SOURCE_DIR "${CPACK_BRM_SOURCE_DIR}")
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  # Each install component is staged in a folder of its own.
  set(staged "${CPACK_TEMPORARY_DIRECTORY}/Unspecified")
  if(zip MATCHES "-symbols\\.zip$")
    set(staged "${CPACK_TEMPORARY_DIRECTORY}/symbols")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${staged}" "${staged}/*")
  list(SORT files)
  file(CHMOD_RECURSE "${staged}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND touch -d @${BRM_SOURCE_DATE} ${files} WORKING_DIRECTORY "${staged}"
    COMMAND_ERROR_IS_FATAL ANY)
  list(JOIN files "\n" names)
  file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/zip-names" "${names}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC "${CPACK_BRM_ZIP}" -X -D -q -@ "${zip}"
    INPUT_FILE "${CPACK_TOPLEVEL_DIRECTORY}/zip-names" WORKING_DIRECTORY "${staged}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "zip of ${staged} into ${zip} failed (exit ${failed}); see its message above")
  endif()
endforeach()
