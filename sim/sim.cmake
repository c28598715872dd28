# ltsim: the virtual instruments (library for tests and the demo mode, and a
# command-line program that serves one instrument on a pseudo-terminal).
add_library(ltsim STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AsciiInstrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChartLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CieTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Colorimetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Densitometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FaultInjector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FirmwareLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineSpeed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Measurement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PseudoTerminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SampleLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Simulator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrometerInstrument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrometerStrayLight.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WireHex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XyTable.cpp)
target_include_directories(ltsim PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
target_link_libraries(ltsim PUBLIC Threads::Threads PRIVATE util)

add_executable(ltsim_cli ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set_target_properties(ltsim_cli PROPERTIES OUTPUT_NAME ltsim)
target_link_libraries(ltsim_cli PRIVATE ltsim)
