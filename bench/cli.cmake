# Benchmarks of varnolde-cli: the load import of 1,000 to 80,000 logs.
add_executable(import_bench ${CMAKE_CURRENT_SOURCE_DIR}/import_bench.cpp)
target_link_libraries(import_bench PRIVATE cli benchmark::benchmark)
target_compile_definitions(import_bench PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")
add_dependencies(import_bench varnolde_program_files)
