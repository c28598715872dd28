# The instrument page: its logic (ltcore) and its Qt view (ltviews).
target_sources(ltcore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/InstrumentController.cpp)
if(LTRAKW_GUI)
  target_sources(ltviews PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TaviLight.cpp)
endif()
