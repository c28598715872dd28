# The instrument library's exchanges of one measurement against a scripted
# instrument on a pseudo-terminal, immediate and paced at 9600 baud.
add_executable(ltctl_bench
  ${CMAKE_CURRENT_LIST_DIR}/LtctlExchangeBench.cpp
  ${CMAKE_SOURCE_DIR}/tests/instrument/ScriptedPeer.cpp)
target_include_directories(ltctl_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(ltctl_bench PRIVATE LTCtl benchmark::benchmark util Threads::Threads)
