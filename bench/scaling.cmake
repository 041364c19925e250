# Scaling engine benchmarks: volumes of random logs, cubic and board.
add_executable(scaling_bench ${CMAKE_CURRENT_SOURCE_DIR}/scaling_bench.cpp)
target_link_libraries(scaling_bench PRIVATE scaling benchmark::benchmark)
