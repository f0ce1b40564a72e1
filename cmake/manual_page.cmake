# Makes one section 1 manual page: help2man reads the program's --help and
# --version; man/NAME.h2m adds what --help does not say. A program whose
# --help lists "Commands:" gets a COMMANDS section of each command's own
# --help, so that no part of the page is written twice by hand.
#
# cmake -DPROGRAM=path -DVERSION=x.y.z -DINCLUDE=NAME.h2m -DHELP2MAN=path -DGZIP=path
#       -DOUTPUT=NAME.1.gz -P manual_page.cmake

# Text for a no-fill block: backslashes and leading control characters kept
# literal, dashes as the minus signs that options are typed with.
function(roff_literal text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()

set(include_text "")
string(REGEX MATCH "\nCommands:\n(  [^\n]*\n|  +[^\n]*\n)+" command_block "${help}")
string(REGEX MATCHALL "\n  [a-z][a-z-]*" commands "${command_block}")
if(commands)
  string(APPEND include_text "[COMMANDS]\n")
  foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    execute_process(COMMAND "${PROGRAM}" ${command} --help
                    OUTPUT_VARIABLE command_help RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${PROGRAM} ${command} --help failed: ${result}")
    endif()
    roff_literal("${command_help}" command_help)
    string(APPEND include_text ".SS ${command}\n.nf\n${command_help}.fi\n")
  endforeach()
endif()

# The commands come before the sections written by hand, which tell more.
file(READ "${INCLUDE}" hand_written)
set(work "${OUTPUT}.work")
file(WRITE "${work}.h2m" "${include_text}${hand_written}")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--source=Pravik ${VERSION}"
          "--manual=Pravik Manual" "--include=${work}.h2m" "--output=${work}" "${PROGRAM}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM}")
endif()
# Debian wants manual pages compressed to the maximum, without a time stamp.
execute_process(COMMAND "${GZIP}" -9 -n -c "${work}" OUTPUT_FILE "${OUTPUT}"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${OUTPUT}")
endif()
file(REMOVE "${work}" "${work}.h2m")
