# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs help2man (HELP2MAN) on PROGRAM with the include file INCLUDE into
# OUTPUT, in French (LOCPATH holds the compiled fr_FR.UTF-8 locale), dated
# SOURCE_DATE_EPOCH.
# help2man fills the lines of an examples paragraph into one; each example is
# a command line of its own, so the section is kept unfilled.
# help2man runs the program through the shell, unquoted: it is named from its
# own folder, so that a checkout under a name with a space builds too.
get_filename_component(program_dir ${PROGRAM} DIRECTORY)
get_filename_component(program_name ${PROGRAM} NAME)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM LOCPATH=${LOCPATH} SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH}
            ${HELP2MAN} --no-info --section=1 --locale=fr_FR.UTF-8
            --include=${INCLUDE} --output=${OUTPUT}.tmp ./${program_name}
    WORKING_DIRECTORY ${program_dir}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "help2man failed on ${PROGRAM} (${result}): does --help or --version need a display?")
endif()
file(READ ${OUTPUT}.tmp page)
set(heading "\n.SH EXEMPLES\n")
string(FIND "${page}" "${heading}" start)
if(start GREATER_EQUAL 0)
    string(LENGTH "${heading}" length)
    math(EXPR start "${start} + ${length}")
    string(SUBSTRING "${page}" 0 ${start} before)
    string(SUBSTRING "${page}" ${start} -1 rest)
    string(FIND "${rest}" "\n.SH " end)
    if(end LESS 0)
        string(LENGTH "${rest}" end)
    endif()
    string(SUBSTRING "${rest}" 0 ${end} examples)
    string(SUBSTRING "${rest}" ${end} -1 after)
    set(page "${before}.nf\n${examples}\n.fi${after}")
endif()
file(WRITE ${OUTPUT} "${page}")
file(REMOVE ${OUTPUT}.tmp)
