# Data entry screen benchmarks: opening the screen, "Save" and the load totals
# on a 5,000-log load.
add_executable(dataentry_bench ${CMAKE_CURRENT_SOURCE_DIR}/dataentry_bench.cpp)
target_link_libraries(dataentry_bench PRIVATE dataentry benchmark::benchmark)
target_compile_definitions(dataentry_bench PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")
add_dependencies(dataentry_bench varnolde_program_files)
