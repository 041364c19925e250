# Table store benchmarks: selection over a large Log and settings reads.
add_executable(tablestore_bench ${CMAKE_CURRENT_SOURCE_DIR}/tablestore_bench.cpp)
target_link_libraries(tablestore_bench PRIVATE tablestore benchmark::benchmark)
