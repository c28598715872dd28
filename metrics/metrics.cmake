# The colour metrics page: logic files go into ltcore, the Qt views into
# ltviews (or straight into the program while that library does not exist).
target_sources(ltcore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/WholeFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotColorText.cpp)
