# The instrument library libLTCtl.so: the object, the serial layer and the
# spectrophotometer protocol. The array spectrometer and the streaming mode
# add their sources from their own fragments (included after this one).
add_library(LTCtl SHARED
  ${CMAKE_CURRENT_LIST_DIR}/platform/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/HostHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/PortDevices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/PortTransfers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/SerialPort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/TermiosLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/GretagCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/GretagLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/GretagMeasure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/GretagOpen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/GretagTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/HexCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/ParameterMessage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/protocol/TaviSpec.cpp
)
target_include_directories(LTCtl
  PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include
  PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(LTCtl PUBLIC Threads::Threads)
set_target_properties(LTCtl PROPERTIES AUTOMOC OFF)
