# Fails when libLTCtl.so exports a symbol of the library's own namespace that
# is not part of its public headers: the internals (the serial layer, the
# protocol's decoders, the spectrometer's processing) must stay hidden, so
# that programs built against the library cannot come to depend on them.
# Usage: cmake -DNM=<nm> -DLIBRARY=<libLTCtl.so> -P ExportedSymbols.cmake
execute_process(COMMAND ${NM} -DC --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(public "^(lt::(Clock|SteadyClock)(::|$)|lt::(clock|setClock)\\()")
set(leaked "")
foreach(line IN LISTS lines)
  # Address, kind, then the demangled name; typeinfo and vtables name their class.
  string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] (typeinfo name for |typeinfo for |vtable for )?" "" name "${line}")
  if(name MATCHES "^lt::" AND NOT name MATCHES "${public}")
    list(APPEND leaked "${name}")
  endif()
endforeach()
if(NOT symbols MATCHES "CTaviSpec::GretagExecRemission")
  message(FATAL_ERROR "the public class CTaviSpec is not exported")
endif()
if(leaked)
  list(JOIN leaked "\n  " text)
  message(FATAL_ERROR "internal symbols exported:\n  ${text}")
endif()
