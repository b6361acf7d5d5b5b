# A reorder of 100 buddies through the reorder window against the bundled local service.
if(TARGET vantor_local_server)
    add_executable(bench_reorder ${CMAKE_CURRENT_LIST_DIR}/reorder_bench.cpp)
    target_link_libraries(bench_reorder PRIVATE
        vantor_reorder_ui vantor_local_server benchmark::benchmark vantor_flags)
endif()
