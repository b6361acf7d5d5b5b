# Cost of a debug-log entry: with both sinks off, and appended to a full debug window.
add_executable(bench_debug_log ${CMAKE_CURRENT_LIST_DIR}/debug_log_bench.cpp)
target_link_libraries(bench_debug_log PRIVATE vantor_diagnostics_ui benchmark::benchmark vantor_flags)
