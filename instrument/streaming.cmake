# The streaming mode: the receive thread, its measurement blocks and XPress.
target_sources(LTCtl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/streaming/MeasurementBlock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streaming/ReceiveThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streaming/StreamingExports.cpp
)
