# Writes the help2man include file with a section for each ltrak command,
# taken from the command's own --help, so that the manual page describes
# every option of every command.
#   cmake -DLTRAK=<program> -DOUTPUT=<file> -P ManPageCommands.cmake
set(commands "measure" "chart compare" "chart convert" "firmware check" "firmware download")
set(text "[COMMANDS]\n")
foreach(command IN LISTS commands)
  separate_arguments(words UNIX_COMMAND "${command}")
  execute_process(COMMAND ${LTRAK} ${words} --help
    OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ltrak ${command} --help failed: ${status}")
  endif()
  # roff: a backslash is written doubled; a line must not begin with a dot.
  string(REPLACE "\\" "\\\\" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS \"ltrak ${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
