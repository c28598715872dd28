# The main window, the instrument page and the spectrum graph widget on Qt's
# offscreen platform, against the built-in simulator; with them the page's
# Qt-free rules (identity text, count statistics, beep tones).
if(LTRAKW_GUI)
  lt_add_gtest(instrument_page_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/PageFixture.cpp
      ${CMAKE_CURRENT_LIST_DIR}/SheetTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/InitDeviceTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/MeasureAndRemoteTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PageSettingsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/SpectrometerPageTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GraphWidgetTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PageRulesTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/SimulatorControlsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/OperatorFileDialogTest.cpp
    LIBS ltviews Qt6::Test)
  target_compile_definitions(instrument_page_tests PRIVATE LTRAKW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
