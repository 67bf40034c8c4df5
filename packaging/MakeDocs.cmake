# Makes the documents the package carries, gzipped as Debian keeps them:
# tonbo(1), tonbo-cli(1) with its options taken from `tonbo-cli --help` (so
# the page lists the options the program has), and the changelog.
# Arguments: CLI (tonbo-cli), SRC (this folder), OUT, VERSION.
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E env LANG=C.UTF-8 LC_ALL=C.UTF-8 ${CLI} --help
  OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "tonbo-cli --help failed: ${rc}")
endif()
# roff: a backslash is an escape, "-" would print as a hyphen that cannot be
# typed back, and a line starting with "." or "'" would be a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
file(READ ${SRC}/man/tonbo-cli.1.in page)
string(REPLACE "@HELP@" "${help}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
file(WRITE ${OUT}/tonbo-cli.1 "${page}")
configure_file(${SRC}/man/tonbo.1 ${OUT}/tonbo.1 COPYONLY)
configure_file(${SRC}/changelog ${OUT}/changelog COPYONLY)
foreach(f tonbo.1 tonbo-cli.1 changelog)
  file(REMOVE ${OUT}/${f}.gz)
  execute_process(COMMAND gzip -9n ${OUT}/${f} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${f} failed: ${rc}")
  endif()
endforeach()
