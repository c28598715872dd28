# Tests of the colour metrics page, the spot-colour library, the density
# parameters and the list file.
lt_add_gtest(metrics_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ListFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpotColorTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpotLibraryFileTest.cpp
  LIBS ltcore)
