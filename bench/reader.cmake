# A full load by the interface-table reader on synthetic tables of 3, 100,
# 1000 and 4096 rows.
add_executable(bench_reader ${CMAKE_CURRENT_SOURCE_DIR}/reader_bench.cpp)
target_link_libraries(bench_reader PRIVATE orv_flags orv_stats benchmark::benchmark_main)
