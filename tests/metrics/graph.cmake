# The spectrum graph's geometry, mouse rules and welcome picture, without
# drawing anything.
lt_add_gtest(graph_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/graph_GeometryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/graph_MouseTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/graph_PictureTest.cpp
  LIBS ltcore)
target_compile_definitions(graph_tests PRIVATE LTRAKW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
