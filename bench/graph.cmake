# One Draw of the line graph, on the real picture box and on the recording
# fake (which isolates the graph's own cost).
add_executable(bench_graph ${CMAKE_CURRENT_SOURCE_DIR}/graph_bench.cpp)
target_link_libraries(bench_graph PRIVATE
  orv_flags orv_graph orv_monitor orv_toolkit_qt Qt6::Widgets benchmark::benchmark_main)
