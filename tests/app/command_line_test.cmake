# Runs dornvel with each command line of the table and checks its exit status,
# standard output and standard error. There is no display: a program that
# opened its window (or only connected to a display) before answering fails.
#   cmake -DPROGRAM=path/to/dornvel -DVERSION=1.00 -P command_line_test.cmake

set(usage "^Usage: [^\n]*dornvel(\\.exe)? \\[options\\]\n")
# arguments (","-separated) | exit status | standard output | standard error (regular expressions)
set(cases
  "--version|0|^dornvel ${VERSION}\n$|^$"
  "-v|0|^dornvel ${VERSION}\n$|^$"
  "--help|0|${usage}.*  -v, --version  .*  --record <FILE>  |^$"
  "-h|0|${usage}|^$"
  "--help,--version|0|${usage}|^$"
  "--help|0|  --list-meters  .*  --port <ComN>  |^$"
  "--port,COM1|2|^$|^dornvel: --port goes with --list-meters, --assign or --bus\\.\nUsage: "
  "--list-meters,--port,Com0|2|^$|^dornvel: --port takes Com1 to Com256, not 'Com0'\\.\n$"
  "--list-meters,--port,7|2|^$|^dornvel: --port takes Com1 to Com256, not '7'\\.\n$"
  "--list-meters,--port,COM256|2|^$|\ndornvel: Cannot open COM256: [^\n]+\n$"
  "--baud,9600|2|^$|^dornvel: Unknown option 'baud'\\.\nUsage: "
  "--help|0|  --port <ComN>  .*  --assign <ID>  .*  --rate <RATE>  .*  --report <FILE>  |^$"
  "--assign,5|2|^$|^dornvel: --assign needs --rate\\.\n$"
  "--rate,9600|2|^$|^dornvel: --rate needs --assign\\.\nUsage: "
  "--report,r.csv,--alarm,5|2|^$|^dornvel: --report needs --assign\\.\nUsage: "
  "--assign,248,--rate,9600|2|^$|^dornvel: The slave id must be 1 to 247 and the baud rate 9600 or 19200\\. Nothing was sent\\.\n$"
  "--assign,5,--rate,4800|2|^$|^dornvel: The slave id must be 1 to 247 "
  "--assign,5,--rate,9600,--port,Com257|2|^$|^dornvel: --port takes Com1 to Com256, not 'Com257'\\.\n$"
  "--assign,5,--rate,9600,--alarm,low|2|^$|^dornvel: A threshold must be a number of kilohms\\.\n$"
  "-platform,offscreen|2|^$|^dornvel: Unknown option 'platform'\\.\nUsage: "
  "COM1|2|^$|^dornvel: Unexpected argument 'COM1'\\.\nUsage: "
  "--version,extra|2|^$|^dornvel: Unexpected argument 'extra'\\.\nUsage: "
  "--|2|^$|^dornvel: Unexpected argument '--'\\.\nUsage: "
  "--record|2|^$|^dornvel: Missing value after '--record'\\.\nUsage: "
  "--record,a.csv,b.csv|2|^$|^dornvel: Unexpected argument 'b.csv'\\.\nUsage: "
  "--help|0|  --bus  .*  --meters <LIST>  |^$"
  "--meters,3|2|^$|^dornvel: --meters goes with --bus\\.\nUsage: "
  "--bus,--port,Com0|2|^$|^dornvel: --port takes Com1 to Com256, not 'Com0'\\.\n$"
  "--bus,--meters,0|2|^$|^dornvel: --meters: '0': a slave id is a number from 1 to 247"
  "--bus,--meters,20-10@19200|2|^$|^dornvel: --meters: '20-10@19200': the range runs backwards\\.\nUsage: "
)

set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 arguments)
  list(GET fields 1 expected_status)
  list(GET fields 2 expected_output)
  list(GET fields 3 expected_error)
  string(REPLACE "," ";" arguments "${arguments}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
      ${PROGRAM} ${arguments}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error TIMEOUT 30)
  if(NOT status STREQUAL expected_status OR NOT output MATCHES "${expected_output}"
     OR NOT error MATCHES "${expected_error}")
    math(EXPR failures "${failures} + 1")
    message("dornvel ${arguments}: exit status ${status} (expected ${expected_status})\n"
      "standard output:\n${output}\nstandard error:\n${error}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} command line(s) answered wrongly")
endif()
