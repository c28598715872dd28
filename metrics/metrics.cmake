# The colour metrics page: logic files go into ltcore, the Qt views into
# ltviews (or straight into the program while that library does not exist).
target_sources(ltcore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColorMetricsLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DensityParametersForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotColorText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotLibraryFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextFileName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ValueDisplay.cpp)

if(LTRAKW_GUI)
  set(metrics_views
    ${CMAKE_CURRENT_LIST_DIR}/DensityParametersDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeasurementListModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpotIdDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TaviDens.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextFileDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ValueDisplayWidget.cpp)
  if(TARGET ltviews)
    target_sources(ltviews PRIVATE ${metrics_views})
  else()
    target_sources(LtrakW PRIVATE ${metrics_views})
  endif()
endif()
