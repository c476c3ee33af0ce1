# The floor for a Qt Widgets program doing the window's job, measured
# beside the program by bench/measure-process.
add_executable(bench_minimal_qt ${CMAKE_CURRENT_SOURCE_DIR}/minimal_qt.cpp)
target_link_libraries(bench_minimal_qt PRIVATE orv_flags Qt6::Widgets)
