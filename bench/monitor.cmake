# One sampling tick of the window in steady state.
add_executable(bench_tick ${CMAKE_CURRENT_SOURCE_DIR}/tick_bench.cpp)
target_link_libraries(bench_tick PRIVATE orv_flags orv_app_qt benchmark::benchmark)
