# The spectrum graph: its geometry, mouse rules and welcome picture are logic
# (ltcore); the drawing widget is a view (ltviews).
target_sources(ltcore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumGraphGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumGraphMouse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumGraphPicture.cpp)
if(LTRAKW_GUI)
  target_sources(ltviews PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SpectrumGraphWidget.cpp)
endif()
