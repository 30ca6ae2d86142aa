# Writes a manual page (section 1) from a program's --help, and from each subcommand's --help for a
# program that lists subcommands, so that the page always says what the program does.
# cmake -DPROGRAM=path -DNAME=zeb500-cli -DSUMMARY="..." -DVERSION=x.y.z -DOUTPUT=file.1 -P HelpToMan.cmake
function(run_help result)
  # Defaults built from HOME are shown as "~", the user's own, not the build machine's.
  set(marker "/zeb500-home-of-the-user")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=XDG_CONFIG_HOME "HOME=${marker}" "${PROGRAM}" ${ARGN} --help
    OUTPUT_VARIABLE text RESULT_VARIABLE status)
  string(REPLACE "${marker}" "~" text "${text}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed (${status})")
  endif()
  string(REPLACE "${PROGRAM}" "${NAME}" text "${text}")
  # roff: a backslash is written \e, and a line must not begin with a control character.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

run_help(main_help)
set(page ".TH ${NAME} 1 \"\" \"ZEB500 ${VERSION}\" \"User Commands\"\n.SH NAME\n${NAME} \\- ${SUMMARY}\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${main_help}.fi\n")

string(FIND "${main_help}" "Subcommands:" at)
if(NOT at EQUAL -1)
  string(SUBSTRING "${main_help}" ${at} -1 listing)
  string(REGEX MATCHALL "\n  [a-z][a-z-]*" names "${listing}")
  foreach(entry IN LISTS names)
    string(STRIP "${entry}" subcommand)
    run_help(sub_help ${subcommand})
    string(APPEND page ".SS ${subcommand}\n.nf\n${sub_help}.fi\n")
  endforeach()
endif()

string(APPEND page ".SH FILES\n.TP\n~/.config/Orvane/ZEB500.ini\nSettings, shared with the workbench.\n"
  ".TP\n~/.local/share/Orvane/ZEB500\nData folder (ZEB500_HOME).\n"
  ".SH SEE ALSO\nzeb500(1), zeb500-cli(1), zeb500-sim(1); the user manual in /usr/share/zeb500/documentation.\n")
file(WRITE "${OUTPUT}" "${page}")
