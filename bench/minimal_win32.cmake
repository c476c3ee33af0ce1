# The floor for a Win32 program doing the Windows window's job, measured
# beside orvendel.exe by bench/measure-process.
add_executable(bench_minimal_win32 WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_win32.cpp)
target_compile_definitions(bench_minimal_win32 PRIVATE UNICODE _UNICODE NOMINMAX)
target_link_libraries(bench_minimal_win32 PRIVATE orv_flags user32 gdi32 iphlpapi)
target_link_options(bench_minimal_win32 PRIVATE -municode)
