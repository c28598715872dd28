# The array spectrometer's processing of one acquisition and the streaming
# receive thread's CPU use while it waits.
if(TARGET ltsim)
  add_executable(spectrometer_bench ${CMAKE_CURRENT_LIST_DIR}/SpectrometerBench.cpp)
  target_include_directories(spectrometer_bench PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(spectrometer_bench PRIVATE LTRAKW_BENCH_DATA="${CMAKE_SOURCE_DIR}/data")
  target_link_libraries(spectrometer_bench PRIVATE LTCtl ltsim benchmark::benchmark)
endif()
