lt_add_gtest(sim_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SimWireTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimArbitrarySpeedTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimLoaderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimSpectrometerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimFaultTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimPhysicsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimRobustnessTest.cpp
  LIBS ltsim)
