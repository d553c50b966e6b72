# Signs one file in place with Authenticode (cmake -P, run by the build once
# a program is linked; make_msi.cmake includes it for the installer). In:
# OSSLSIGNCODE, PFX (the certificate and its key), FILE, NAME (the
# description Windows shows beside the publisher); from the environment,
# SIGN_PASSWORD (the PFX's, may be empty) and SIGN_TIMESTAMP_URL (an RFC 3161
# time-stamp server, optional: a time-stamped signature stays valid after the
# certificate expires).
set(arguments sign -pkcs12 "${PFX}" -h sha256 -n "${NAME}")
# The password goes through a file only its owner reads, never on a command line
# that every user of the machine can list.
set(pass "${FILE}.pass")
if(NOT "$ENV{SIGN_PASSWORD}" STREQUAL "")
  file(TOUCH "${pass}")
  file(CHMOD "${pass}" PERMISSIONS OWNER_READ OWNER_WRITE)
  file(WRITE "${pass}" "$ENV{SIGN_PASSWORD}")
  list(APPEND arguments -readpass "${pass}")
endif()
if(NOT "$ENV{SIGN_TIMESTAMP_URL}" STREQUAL "")
  list(APPEND arguments -ts "$ENV{SIGN_TIMESTAMP_URL}")
endif()
file(REMOVE "${FILE}.signed")
execute_process(COMMAND "${OSSLSIGNCODE}" ${arguments} -in "${FILE}" -out "${FILE}.signed"
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
file(REMOVE "${pass}")
if(failed)
  file(REMOVE "${FILE}" "${FILE}.signed")
  message(FATAL_ERROR "osslsigncode could not sign ${FILE} with ${PFX}:\n${output}")
endif()
file(RENAME "${FILE}.signed" "${FILE}")
if(FILE MATCHES "\\.(scr|dll|exe)$")
  # As the linker left it: a program.
  file(CHMOD "${FILE}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                   WORLD_EXECUTE)
endif()
