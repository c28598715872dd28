# The instrument library libLTCtl.so: the object, the serial layer and the
# spectrophotometer protocol. The array spectrometer and the streaming mode
# add their sources from their own fragments.
add_library(LTCtl SHARED
  ${CMAKE_CURRENT_LIST_DIR}/platform/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/HostHooks.cpp
)
target_include_directories(LTCtl
  PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include
  PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(LTCtl PUBLIC Threads::Threads)
set_target_properties(LTCtl PROPERTIES AUTOMOC OFF)
