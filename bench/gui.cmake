# The Qt data entry dialog on large loads (offscreen): shown, Ctrl+L, Save,
# a row appended.
if(TARGET gui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(gui_bench ${CMAKE_CURRENT_SOURCE_DIR}/gui_bench.cpp)
  target_link_libraries(gui_bench PRIVATE gui bench_load Qt6::Test benchmark::benchmark)
  target_compile_definitions(gui_bench PRIVATE VARNOLDE_PROGRAM_DIR="${VARNOLDE_PROGRAM_DIR}")
  add_dependencies(gui_bench varnolde_program_files)
endif()
