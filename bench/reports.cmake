# Benchmarks of the reports layer: the page formatter.
add_executable(reports_bench ${CMAKE_CURRENT_SOURCE_DIR}/reports_bench.cpp)
target_link_libraries(reports_bench PRIVATE reports benchmark::benchmark)

# The whole report run over a load of 1,000 and one of 10,000 logs.
add_executable(reports_run_bench ${CMAKE_CURRENT_SOURCE_DIR}/reports_run_bench.cpp)
target_link_libraries(reports_run_bench PRIVATE reports benchmark::benchmark)
