# One receive pass of a full read of lobby lines, over a loopback connection.
add_executable(bench_transport ${CMAKE_CURRENT_LIST_DIR}/transport_bench.cpp)
target_link_libraries(bench_transport PRIVATE vantor_transport benchmark::benchmark)
