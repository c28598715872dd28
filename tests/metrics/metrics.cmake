# Tests of the colour metrics page, the spot-colour library, the density
# parameters and the list file. The page's logic is tested against the
# virtual instruments when they are part of the build, its views on Qt's
# offscreen platform when Qt is there.
set(metrics_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/ListFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotColorTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotLibraryFileTest.cpp)
set(metrics_test_libs ltcore)
if(TARGET ltsim)
  list(APPEND metrics_test_sources ${CMAKE_CURRENT_LIST_DIR}/ColorMetricsLogicTest.cpp)
  list(APPEND metrics_test_libs ltsim)
  if(TARGET ltviews)
    list(APPEND metrics_test_sources ${CMAKE_CURRENT_LIST_DIR}/TaviDensViewTest.cpp)
    list(APPEND metrics_test_libs ltviews Qt6::Widgets Qt6::Test)
  endif()
endif()
lt_add_gtest(metrics_tests SOURCES ${metrics_test_sources} LIBS ${metrics_test_libs})
target_compile_definitions(metrics_tests PRIVATE LTRAKW_METRICS_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
