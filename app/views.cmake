# ltviews: every Qt view of the program (windows, pages, dialogs, the graph)
# except main.cpp, so that the GUI tests link the same views as LtrakW.
# Other subsystems add their Qt views with
#   target_sources(ltviews PRIVATE ${CMAKE_CURRENT_LIST_DIR}/FooDialog.cpp ...)
# from their own fragment; their logic files go into ltcore as before.
if(LTRAKW_GUI)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(ALSA IMPORTED_TARGET alsa)
  endif()

  add_library(ltviews STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ComingPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortAttachment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtOperator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatorControl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatorMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatorPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneGenerator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icons/icons.qrc)
  target_link_libraries(ltviews PUBLIC ltcore Qt6::Widgets Qt6::PrintSupport)
  if(TARGET ltsim)
    target_link_libraries(ltviews PUBLIC ltsim)
  endif()
  if(ALSA_FOUND)
    target_link_libraries(ltviews PUBLIC PkgConfig::ALSA)
    target_compile_definitions(ltviews PRIVATE LTRAKW_HAVE_ALSA=1)
  else()
    message(WARNING "ALSA not found: LtrakW beeps silently (apt-get install libasound2-dev)")
  endif()

  target_link_libraries(LtrakW PRIVATE ltviews)
endif()

# Qt-free pieces of the window's work (tone synthesis) belong to ltcore.
target_sources(ltcore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ToneSynthesis.cpp)
