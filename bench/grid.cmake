# Grid benchmarks: filling a grid from a large Log view and writing it back.
add_executable(grid_bench ${CMAKE_CURRENT_SOURCE_DIR}/grid_bench.cpp)
target_link_libraries(grid_bench PRIVATE grid benchmark::benchmark)
