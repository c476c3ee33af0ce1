# Format with each label pattern, on typical and wide values.
add_executable(bench_format ${CMAKE_CURRENT_SOURCE_DIR}/format_bench.cpp)
target_link_libraries(bench_format PRIVATE orv_flags orv_platform benchmark::benchmark_main)
