# Run by install: signs each of BRM_SIGNED (relative to the install folder) with Authenticode,
# dated the source's date and with no time-stamp server, so that the same source and key give
# the same bytes; and keeps each signature apart, as signatures/<file>.sig, for attaching to
# anyone's unsigned rebuild ("osslsigncode attach-signature").
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
foreach(file IN LISTS BRM_SIGNED)
  set(path "${root}/${file}")
  set(sig "${root}/signatures/${file}.sig")
  get_filename_component(folder "${sig}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  # osslsigncode writes no file that is already there.
  file(REMOVE "${path}.signed" "${sig}")
  execute_process(
    COMMAND "${BRM_OSSLSIGNCODE}" sign -certs "${BRM_SIGN_CERT}" -key "${BRM_SIGN_KEY}"
      -h sha256 -n BRAMOK -time ${BRM_SOURCE_DATE} -in "${path}" -out "${path}.signed"
    RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT failed)
    file(RENAME "${path}.signed" "${path}")
    execute_process(COMMAND "${BRM_OSSLSIGNCODE}" extract-signature -pem -in "${path}" -out "${sig}"
      RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  endif()
  if(failed)
    file(REMOVE "${path}.signed")
    message(FATAL_ERROR "signing ${path} failed (certificate ${BRM_SIGN_CERT}, key ${BRM_SIGN_KEY}):\n${out}"
      "check that the key belongs to the certificate and has no pass phrase")
  endif()
  message(STATUS "Signed: ${path}")
endforeach()
