# The instrument library's serial layer and spectrophotometer protocol,
# byte by byte against scripted instruments on pseudo-terminals.
lt_add_gtest(ltctl_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FakeClock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScriptedPeer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HexCodecTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialTransferTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GretagOpenTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GretagMeasureTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GretagCommandTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GretagTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatorEndToEndTest.cpp
  LIBS LTCtl ltsim util)
