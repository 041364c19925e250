# The storage engine's benchmarks: a 100,000-row Log-like view.
add_executable(mkstore_bench ${CMAKE_CURRENT_SOURCE_DIR}/mkstore_bench.cpp)
target_link_libraries(mkstore_bench PRIVATE mkstore benchmark::benchmark)
