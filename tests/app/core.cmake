# Tests of the program core; the measurement cycle runs against the
# virtual instruments when they are part of the build.
set(core_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/WholeFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorArithmeticTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharedRecordTest.cpp)
set(core_test_libs ltcore)
if(TARGET ltsim)
  list(APPEND core_test_sources ${CMAKE_CURRENT_LIST_DIR}/MeasurementCycleTest.cpp)
  list(APPEND core_test_libs ltsim)
endif()
lt_add_gtest(core_tests SOURCES ${core_test_sources} LIBS ${core_test_libs})
if(TARGET ltsim)
  # Lets the cycle tests act between the fetches of one measurement.
  target_link_options(core_tests PRIVATE "LINKER:--wrap=_ZN9CTaviSpec19GretagExecRemissionEP12GretagStruct")
endif()
