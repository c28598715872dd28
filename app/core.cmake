# The program core (no Qt): settings files, shared measurement record,
# colour and density arithmetic, measurement cycle, workstation.
target_sources(ltcore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WholeFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DensitySettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpotColorLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeasurementList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharedRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorArithmetic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeasurementCycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Workstation.cpp)
