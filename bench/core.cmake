# The measurement cycle's own work per sample and its memory over 10,000
# samples, against the virtual Lumatrak.
if(TARGET ltsim)
  add_executable(core_bench ${CMAKE_CURRENT_LIST_DIR}/CoreBench.cpp)
  target_link_libraries(core_bench PRIVATE ltcore ltsim benchmark::benchmark)
  # Times the instrument exchanges by wrapping the library's measurement export.
  target_link_options(core_bench PRIVATE "LINKER:--wrap=_ZN9CTaviSpec19GretagExecRemissionEP12GretagStruct")
endif()
