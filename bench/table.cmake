# The interface-table source (size call + data call, and a tick's two
# loads), the plain full-dump source, a bare RTM_GETLINK dump, a bare
# RTM_GETSTATS dump and a read of /proc/net/dev. Run through
# bench/table-bench, which makes namespaces of 3 to 4096 interfaces.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
add_executable(bench_table ${CMAKE_CURRENT_SOURCE_DIR}/table_bench.cpp)
target_link_libraries(bench_table PRIVATE orv_flags orv_stats orv_iftable benchmark::benchmark_main)
