# Timed tools of the program's window: start-up time of LtrakW and the
# resident memory after a long series of measurements.
if(LTRAKW_GUI)
  add_executable(window_startup_bench ${CMAKE_CURRENT_LIST_DIR}/WindowStartupBench.cpp)
  target_compile_definitions(window_startup_bench PRIVATE LTRAKW_PROGRAM="$<TARGET_FILE:LtrakW>")
  add_dependencies(window_startup_bench LtrakW)

  add_executable(window_memory_bench ${CMAKE_CURRENT_LIST_DIR}/WindowMemoryBench.cpp)
  target_link_libraries(window_memory_bench PRIVATE ltviews)
  target_include_directories(window_memory_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
