# Array spectrometer and streaming mode of the instrument library.
file(GLOB spectrometer_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/spectrometer_*.cpp)
lt_add_gtest(spectrometer_tests SOURCES ${spectrometer_test_sources} LIBS LTCtl ltsim)
# The shipped tables when the environment does not name the data directory.
target_compile_definitions(spectrometer_tests PRIVATE LTRAKW_SOURCE_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
