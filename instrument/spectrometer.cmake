# The array spectrometer: acquisition, stray-light correction, colour values
# and the observer and illuminant tables.
target_sources(LTCtl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/CieTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/SpectrometerLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/SpectrometerProcessing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/SpectrometerStorage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/SpectrumColorimetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spectrometer/StrayLight.cpp
)
