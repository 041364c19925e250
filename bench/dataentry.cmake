# Data entry screen benchmarks: opening the screen, "Save" and the load totals
# on a 5,000-log load.
# The load both data entry benchmarks measure on (this one and gui_bench).
add_library(bench_load STATIC ${CMAKE_CURRENT_SOURCE_DIR}/bench_load.cpp)
target_link_libraries(bench_load PUBLIC app)
target_compile_definitions(bench_load PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")

add_executable(dataentry_bench ${CMAKE_CURRENT_SOURCE_DIR}/dataentry_bench.cpp)
target_link_libraries(dataentry_bench PRIVATE dataentry bench_load benchmark::benchmark)
target_compile_definitions(dataentry_bench PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")
add_dependencies(dataentry_bench varnolde_program_files)
