# The loading benchmark and soak tool (bench/run.sh): a console program
# linked against the very Win32 code the screen saver runs.
add_executable(salvanto_bench ${PROJECT_SOURCE_DIR}/bench/bench_win.cpp)
target_link_libraries(salvanto_bench PRIVATE salvanto_win psapi ntdll)
target_link_options(salvanto_bench PRIVATE -municode -static -static-libgcc -static-libstdc++)

# The photo show ticked by a real window timer (bench/run.sh's beat table).
# It uses only what older trees share, so that run.sh can build it against
# the baseline too.
add_executable(salvanto_beat ${PROJECT_SOURCE_DIR}/bench/beat_win.cpp)
target_link_libraries(salvanto_beat PRIVATE salvanto_win psapi)
target_link_options(salvanto_beat PRIVATE -municode -static -static-libgcc -static-libstdc++)
# Built by bench/run.sh when it runs, not by every build.
set_target_properties(salvanto_bench salvanto_beat PROPERTIES EXCLUDE_FROM_ALL ON)
