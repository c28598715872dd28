# Arbitrary input for the spectrometer's table loader, acquisition processing
# and the streaming block decoder (libFuzzer with clang, else a random driver).
add_executable(spectrometer_fuzz ${CMAKE_CURRENT_LIST_DIR}/SpectrometerFuzz.cpp)
target_include_directories(spectrometer_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(spectrometer_fuzz PRIVATE LTCtl)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  target_compile_definitions(spectrometer_fuzz PRIVATE LTRAKW_LIBFUZZER)
  target_compile_options(spectrometer_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(spectrometer_fuzz PRIVATE -fsanitize=fuzzer)
endif()
