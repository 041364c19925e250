# Setup screen benchmarks: the taper window on a table of 10,000 tapers.
add_executable(setup_bench ${CMAKE_CURRENT_SOURCE_DIR}/setup_bench.cpp)
target_link_libraries(setup_bench PRIVATE setup benchmark::benchmark)
target_compile_definitions(setup_bench PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")
add_dependencies(setup_bench varnolde_program_files)
