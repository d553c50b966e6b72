# Authenticode signing of what the release ships, with a certificate the
# organisation gives (scripts/build.sh passes SIGN_PFX as SALVANTO_SIGN_PFX).
# Without one nothing is signed and the build is the reproducible one.
set(SALVANTO_SIGN_PFX "" CACHE FILEPATH "PKCS#12 file (certificate and key) to sign the release with; empty: unsigned")
if(SALVANTO_SIGN_PFX)
  if(NOT EXISTS "${SALVANTO_SIGN_PFX}")
    message(FATAL_ERROR "SALVANTO_SIGN_PFX: no such file: ${SALVANTO_SIGN_PFX}")
  endif()
  find_program(SALVANTO_OSSLSIGNCODE osslsigncode)
  if(NOT SALVANTO_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode: apt-get install osslsigncode (bash scripts/deps.sh installs it)")
  endif()
endif()
# What a signed file was signed with: a change links it again, so that a
# build never keeps a signature it was not asked for, nor misses one.
set(SALVANTO_SIGNING_STAMP ${CMAKE_BINARY_DIR}/signing.txt)
file(CONFIGURE OUTPUT ${SALVANTO_SIGNING_STAMP} CONTENT "${SALVANTO_SIGN_PFX}\n")

# salvanto_sign(<target> <description>) signs the target's file as soon as it
# is linked, before anything packs it.
function(salvanto_sign target description)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${SALVANTO_SIGNING_STAMP})
  if(NOT SALVANTO_SIGN_PFX)
    return()
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${SALVANTO_SIGN_PFX})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${SALVANTO_OSSLSIGNCODE} -DPFX=${SALVANTO_SIGN_PFX}
            -DFILE=$<TARGET_FILE:${target}> -DNAME=${description} -P ${PROJECT_SOURCE_DIR}/cmake/sign.cmake
    VERBATIM)
endfunction()
