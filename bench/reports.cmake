# Benchmarks of the reports layer: the page formatter.
add_executable(reports_bench ${CMAKE_CURRENT_SOURCE_DIR}/reports_bench.cpp)
target_link_libraries(reports_bench PRIVATE reports benchmark::benchmark)
