add_executable(sim_bench ${CMAKE_CURRENT_LIST_DIR}/SimReplyLatencyBench.cpp)
target_link_libraries(sim_bench PRIVATE ltsim benchmark::benchmark Threads::Threads)
