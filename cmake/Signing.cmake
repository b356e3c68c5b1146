# Authenticode signing of the shipped images with osslsigncode, when a key is
# given at configure time (README, "Release build"):
#   -DQUILLMORE_SIGN_PKCS12=<file> -DQUILLMORE_SIGN_PASSWORD_FILE=<file>
#   [-DQUILLMORE_SIGN_TIMESTAMP_URL=<url>]
# Without a key the images stay unsigned. The password is read by
# osslsigncode from its file: it is never on a command line the build prints
# and never copied into the build tree.
set(QUILLMORE_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the code-signing key and certificate chain (empty: unsigned)")
set(QUILLMORE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File that holds the password of the PKCS#12 file")
set(QUILLMORE_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server (empty: no time stamp)")

if(QUILLMORE_SIGN_PKCS12)
  find_program(QUILLMORE_OSSLSIGNCODE osslsigncode REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  foreach(file QUILLMORE_SIGN_PKCS12 QUILLMORE_SIGN_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file} names no file: '${${file}}'")
    endif()
  endforeach()
  file(REAL_PATH "${QUILLMORE_SIGN_PASSWORD_FILE}" password_file)
  file(REAL_PATH "${CMAKE_BINARY_DIR}" build_tree)
  cmake_path(IS_PREFIX build_tree "${password_file}" inside_build_tree)
  if(inside_build_tree)
    message(FATAL_ERROR "QUILLMORE_SIGN_PASSWORD_FILE must not lie in the build tree")
  endif()
endif()

# quillmore_sign_image(<target>)
#   Signs the target's file in place after it is linked (and after whatever
#   POST_BUILD steps were added before this call). Nothing when unsigned.
function(quillmore_sign_image target)
  if(NOT QUILLMORE_SIGN_PKCS12)
    return()
  endif()
  set(timestamp)
  if(QUILLMORE_SIGN_TIMESTAMP_URL)
    set(timestamp -ts ${QUILLMORE_SIGN_TIMESTAMP_URL})
  endif()
  set(image $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -f ${image}.signed
    COMMAND ${QUILLMORE_OSSLSIGNCODE} sign -pkcs12 ${QUILLMORE_SIGN_PKCS12} -readpass ${QUILLMORE_SIGN_PASSWORD_FILE}
            -h sha256 -n "Vantrel Quillmore" ${timestamp} -in ${image} -out ${image}.signed
    COMMAND ${CMAKE_COMMAND} -E rename ${image}.signed ${image}
    COMMENT "Signing ${target}"
    VERBATIM)
endfunction()
