# Win32 tools of the end-to-end tests, built beside Salvanto2002.scr.
# inspector.exe: looks at the running screen saver from outside (windows,
# message boxes, version record, registry) and prints JSON.
add_executable(inspector ${PROJECT_SOURCE_DIR}/tests/e2e/inspector/inspector.cpp)
target_include_directories(inspector PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(inspector PRIVATE ${SALVANTO_WIN_DEFS})
target_link_libraries(inspector PRIVATE user32 gdi32 advapi32 version ole32 oleaut32 oleacc)
target_link_options(inspector PRIVATE -municode -static -static-libgcc -static-libstdc++ -s)

# win_tests.exe: in-process checks of the Win32 shell (test_in_process.py),
# with the product's resources and manifest, so that it runs as the .scr does.
add_executable(win_tests ${PROJECT_SOURCE_DIR}/tests/win/win_tests.cpp ${PROJECT_SOURCE_DIR}/assets/Salvanto2002.rc)
target_link_libraries(win_tests PRIVATE salvanto_win)
target_link_options(win_tests PRIVATE -municode -static -static-libgcc -static-libstdc++)

# photo_probe.exe: the program's own photo listing, the platform's bare decode
# and the real photo show soaked, for what the tests cannot see from outside
# (tools/photo_probe.cpp); the benchmark borrows its soak host and figures.
add_executable(photo_probe ${PROJECT_SOURCE_DIR}/tests/e2e/tools/photo_probe.cpp)
target_link_libraries(photo_probe PRIVATE salvanto_win psapi ntdll)
target_link_options(photo_probe PRIVATE -municode -static -static-libgcc -static-libstdc++)

# The installer's next version and another build of this one
# (test_installer.py): the release's package one patch version up, and of its
# own version, each with its screen saver marked at the end so that the test
# sees which package's file an upgrade left in place.
math(EXPR _next_patch "${PROJECT_VERSION_PATCH} + 1")
set(_next_version ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${_next_patch})
salvanto_msi(e2e_upgrade_installer ${_next_version}
             ${CMAKE_BINARY_DIR}/e2e-upgrade/Salvanto2002-${_next_version}-win64.msi MARK "upgrade ${_next_version}")
salvanto_msi(e2e_rebuild_installer ${PROJECT_VERSION}
             ${CMAKE_BINARY_DIR}/e2e-rebuild/Salvanto2002-${PROJECT_VERSION}-win64.msi MARK "rebuild ${PROJECT_VERSION}")
