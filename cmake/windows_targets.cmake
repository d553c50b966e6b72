# Salvanto2002.scr: the core plus every *_win.cpp of the layer folders,
# the resources (icon, version record, manifest, pictures), statically linked
# so that it runs on a bare Windows.
set(_win_globs)
foreach(_layer ${SALVANTO_LAYERS})
  list(APPEND _win_globs ${PROJECT_SOURCE_DIR}/${_layer}/*_win.cpp)
endforeach()
file(GLOB SALVANTO_WIN_SOURCES CONFIGURE_DEPENDS ${_win_globs})

enable_language(RC)
# The same bytes from the same sources: no link time in the PE header (every
# program linked here), no build folder in what the compiler writes.
add_link_options(-Wl,--no-insert-timestamp)
include(${PROJECT_SOURCE_DIR}/cmake/source_date.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/signing.cmake)
set(SALVANTO_WIN_LIBS user32 gdi32 advapi32 kernel32 ole32 oleaut32 oleacc windowscodecs comctl32 shcore uuid)
set(SALVANTO_WIN_DEFS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0A00 WINVER=0x0A00)

# The Win32 side of the product as a library, so that the bench and test
# tools can call the very code the screen saver runs.
list(FILTER SALVANTO_WIN_SOURCES EXCLUDE REGEX "main_win\\.cpp$|/installer/")
add_library(salvanto_win STATIC ${SALVANTO_WIN_SOURCES})
target_compile_definitions(salvanto_win PUBLIC ${SALVANTO_WIN_DEFS})
target_link_libraries(salvanto_win PUBLIC salvanto_core ${SALVANTO_WIN_LIBS})
target_compile_definitions(salvanto_core PUBLIC ${SALVANTO_WIN_DEFS})

# The version record takes project()'s version: "1.00" in its texts, the
# design's major.minor (with the patch, when there is one, after it).
string(REGEX REPLACE "^([0-9])$" "0\\1" _minor "${PROJECT_VERSION_MINOR}")
set(SALVANTO_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${_minor}")
if(PROJECT_VERSION_PATCH)
  string(APPEND SALVANTO_VERSION_TEXT ".${PROJECT_VERSION_PATCH}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/assets/version.h.in ${CMAKE_BINARY_DIR}/generated/salvanto_version.h @ONLY)

add_executable(Salvanto2002 WIN32 ${PROJECT_SOURCE_DIR}/program/main_win.cpp ${PROJECT_SOURCE_DIR}/assets/Salvanto2002.rc)
set_target_properties(Salvanto2002 PROPERTIES SUFFIX ".scr")
set_source_files_properties(${PROJECT_SOURCE_DIR}/assets/Salvanto2002.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/generated
  OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/assets/Salvanto2002.ico;${PROJECT_SOURCE_DIR}/assets/Salvanto2002.manifest;\
${CMAKE_BINARY_DIR}/generated/salvanto_version.h")
target_link_libraries(Salvanto2002 PRIVATE salvanto_win)
target_link_options(Salvanto2002 PRIVATE -municode -static -static-libgcc -static-libstdc++ -s)
salvanto_sign(Salvanto2002 "The Salvanto Anthology 2002")

# SaverSetup.dll, the installer's custom actions (installer/): packed into
# the installer, never installed. Like the screen saver, it needs only
# Windows' own DLLs.
add_library(SaverSetup SHARED ${PROJECT_SOURCE_DIR}/installer/saver_actions_win.cpp)
set_target_properties(SaverSetup PROPERTIES PREFIX "")
target_compile_definitions(SaverSetup PRIVATE ${SALVANTO_WIN_DEFS})
target_link_libraries(SaverSetup PRIVATE salvanto_core msi advapi32 user32 kernel32)
target_link_options(SaverSetup PRIVATE -static -static-libgcc -static-libstdc++ -s)
salvanto_sign(SaverSetup "The Salvanto Anthology 2002 screen saver setup")

# The release: cpack (in this build folder) makes
# Salvanto2002-<version>-win64.zip with the screen saver and a note for users.
install(TARGETS Salvanto2002 RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/assets/README-user.txt DESTINATION . RENAME README.txt)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Salvanto2002)
set(CPACK_PACKAGE_VENDOR "The Salvanto Anthology")
set(CPACK_SYSTEM_NAME win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
# CPack gives every entry SOURCE_DATE_EPOCH as its time, written as a local
# time: the commit's time, read in UTC wherever the zip is made.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/source_date_epoch.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE}
     CONTENT "set(ENV{SOURCE_DATE_EPOCH} ${SALVANTO_SOURCE_DATE_EPOCH})\nset(ENV{TZ} UTC)\n")
include(CPack)

# The installer beside it, made by the build itself.
include(${PROJECT_SOURCE_DIR}/cmake/installer.cmake)

include(${PROJECT_SOURCE_DIR}/tests/e2e/windows_tools.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/bench/windows_tools.cmake OPTIONAL)
