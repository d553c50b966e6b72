# The installer: Salvanto2002-<version>-win64.msi beside the release zip, built
# from assets/Salvanto2002.wxs by wixl once the screen saver is linked
# (cmake/make_msi.cmake). A build without the tools stops here rather than
# leave the installer out.
find_program(SALVANTO_WIXL wixl)
find_program(SALVANTO_MSIBUILD msibuild)
find_program(SALVANTO_MSIINFO msiinfo)
find_program(SALVANTO_FAKETIME faketime)
if(NOT SALVANTO_WIXL OR NOT SALVANTO_MSIBUILD OR NOT SALVANTO_MSIINFO OR NOT SALVANTO_FAKETIME)
  message(FATAL_ERROR "The installer (Salvanto2002-${PROJECT_VERSION}-win64.msi) is built with wixl, msitools "
                      "and faketime: apt-get install wixl msitools faketime (bash scripts/deps.sh installs them)")
endif()

# Never changes: it is how every version finds the one installed before it.
set(SALVANTO_UPGRADE_CODE 8C0343F9-AC17-496C-9F88-D04A23751EA3)

# salvanto_msi(<target> <version> <output .msi> [MARK <text>]) packs the
# screen saver and the custom actions the build linked. The product code
# follows from the version and the packed files (cmake/make_msi.cmake). MARK
# (for the tests' upgrade and rebuild) is appended to the packed copy of the
# screen saver, so that a test can tell one package's file from the other's.
function(salvanto_msi target version output)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "MARK" "")
  set(wxs ${PROJECT_SOURCE_DIR}/assets/Salvanto2002.wxs)
  set(icon ${PROJECT_SOURCE_DIR}/assets/Salvanto2002.ico)
  set(script ${PROJECT_SOURCE_DIR}/cmake/make_msi.cmake)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DWIXL=${SALVANTO_WIXL} -DMSIBUILD=${SALVANTO_MSIBUILD}
            -DMSIINFO=${SALVANTO_MSIINFO} -DFAKETIME=${SALVANTO_FAKETIME} -DEPOCH=${SALVANTO_SOURCE_DATE_EPOCH}
            -DOSSLSIGNCODE=${SALVANTO_OSSLSIGNCODE} -DPFX=${SALVANTO_SIGN_PFX} -DWXS=${wxs} -DVERSION=${version}
            -DFILE_VERSION=${PROJECT_VERSION}.0
            -DUPGRADE_CODE=${SALVANTO_UPGRADE_CODE} -DSCR=$<TARGET_FILE:Salvanto2002> -DDLL=$<TARGET_FILE:SaverSetup>
            -DICON=${icon} -DMARK=${arg_MARK} -DOUTPUT=${output} -P ${script}
    DEPENDS Salvanto2002 SaverSetup ${wxs} ${icon} ${script} ${PROJECT_SOURCE_DIR}/cmake/sign.cmake
            ${SALVANTO_SIGNING_STAMP}
    COMMENT "Making the installer ${output}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

salvanto_msi(installer ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/Salvanto2002-${PROJECT_VERSION}-win64.msi)
