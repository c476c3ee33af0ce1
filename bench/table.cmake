# One full load of the interface table (size call + data call), next to a
# bare netlink link dump and a read of /proc/net/dev. Run through
# bench/table-bench, which makes namespaces of 3, 100 and 1000 interfaces.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
add_executable(bench_table ${CMAKE_CURRENT_SOURCE_DIR}/table_bench.cpp)
target_link_libraries(bench_table PRIVATE orv_flags orv_stats orv_platform benchmark::benchmark_main)
