# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into an empty prefix and checks that the program, its
# desktop entry, metadata and themed icons land where desktops look for them,
# and that the desktop entry names the installed program and icon.
file(REMOVE_RECURSE ${PREFIX})
set(config_args)
if(CONFIG)
    set(config_args --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} ${config_args}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

file(GLOB desktop_files ${PREFIX}/share/applications/*.desktop)
list(LENGTH desktop_files count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one desktop entry, found: ${desktop_files}")
endif()
get_filename_component(desktop_name ${desktop_files} NAME)
string(REGEX REPLACE "\\.desktop$" "" desktop_id ${desktop_name})

file(STRINGS ${desktop_files} exec_line REGEX "^Exec=")
file(STRINGS ${desktop_files} icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec ${exec_line})
string(REGEX REPLACE "^Icon=" "" icon ${icon_line})

set(expected
    bin/${exec}
    share/metainfo/${desktop_id}.metainfo.xml
    share/icons/hicolor/scalable/apps/${icon}.svg)
# On Linux the window program and the command-line module sit where the
# program users start looks for them.
foreach(program ${WINDOW_PROGRAM} ${COMMAND_LINE_MODULE})
    list(APPEND expected ${program})
endforeach()
foreach(size 16 32 48 64)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${icon}.png)
endforeach()
set(missing)
foreach(path IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${path})
        list(APPEND missing ${path})
    endif()
endforeach()
if(missing)
    file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
    message(FATAL_ERROR "missing after install: ${missing}\ninstalled: ${installed}")
endif()

file(READ ${PREFIX}/share/metainfo/${desktop_id}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${desktop_name}</launchable>")
    message(FATAL_ERROR "the metainfo does not launch ${desktop_name}")
endif()
message(STATUS "installed: ${expected}")
