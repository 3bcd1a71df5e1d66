# The window program's command line, run as a user runs it: help and the
# version on stdout with exit 0 (no display needed), bad usage named on
# stderr with exit 2. Run with cmake -P; PROGRAM and VERSION come from the test.

set(failures 0)
macro(expect args status out_regex err_regex)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${PROGRAM} ${args}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL ${status} OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(SEND_ERROR "ktr4180 ${args}: exit ${rc} (want ${status})\nstdout: ${out}\nstderr: ${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

expect("--version" 0 "^ktr4180 ${VERSION}\n$" "^$")
expect("-h" 0 "Usage: .*\\[FILE\\].*--simulate.*--sim-fault" "^$")
expect("--help;--bogus" 0 "Usage: " "^$")
# Bad usage needs the application object, which takes Qt's own options off the line.
expect("-platform;offscreen;--bogus" 2 "^$" "Unknown option 'bogus'")
expect("-platform;offscreen;--sim-empty" 2 "^$" "go with --simulate")
expect("-platform;offscreen;a.bin;b.bin" 2 "^$" "Only one data file can be opened: b.bin")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} command lines went wrong")
endif()
