# A receive pass of lobby messages flooding an open lobby chat window.
add_executable(bench_chat ${CMAKE_CURRENT_LIST_DIR}/chat_bench.cpp)
target_link_libraries(bench_chat PRIVATE vantor_chat_ui benchmark::benchmark vantor_flags)
