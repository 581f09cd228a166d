# Runs at install time: writes the desktop menu entry with the launcher's full path in
# its Exec key and installs it (so it lands in install_manifest.txt like any other file).
#
# Expects QUILLERY_DESKTOP_TEMPLATE, QUILLERY_DESKTOP_STAGING, QUILLERY_DESKTOP_DESTINATION
# and QUILLERY_LAUNCHER (relative to the prefix), QUILLERY_APP_ID and PROJECT_VERSION.

# The launcher where it will be run from: DESTDIR only stages the files.
set(_launcher "${CMAKE_INSTALL_PREFIX}/${QUILLERY_LAUNCHER}")
string(REGEX REPLACE "/+" "/" _launcher "${_launcher}")

string(ASCII 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31
    127 _controls)
if(_launcher MATCHES "[${_controls}]")
    message(FATAL_ERROR "The install prefix contains a control character, which a desktop "
        "entry cannot name: ${CMAKE_INSTALL_PREFIX}")
endif()

# Exec is a command line: a path with a reserved character goes in double quotes, inside
# which ", `, $ and \ take a backslash.
set(_exec "${_launcher}")
if(_exec MATCHES "[ \"'\\\\><~|&;$*?#()`]")
    string(REPLACE "\\" "\\\\" _exec "${_exec}")
    string(REPLACE "\"" "\\\"" _exec "${_exec}")
    string(REPLACE "`" "\\`" _exec "${_exec}")
    string(REPLACE "$" "\\$" _exec "${_exec}")
    set(_exec "\"${_exec}\"")
endif()
# A literal percent sign is doubled (a single one starts a field code), and the file's
# own string escaping then doubles every backslash once more.
string(REPLACE "%" "%%" _exec "${_exec}")
string(REPLACE "\\" "\\\\" _exec "${_exec}")

set(QUILLERY_DESKTOP_EXEC "${_exec}")
configure_file("${QUILLERY_DESKTOP_TEMPLATE}" "${QUILLERY_DESKTOP_STAGING}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUILLERY_DESKTOP_DESTINATION}" TYPE FILE
    FILES "${QUILLERY_DESKTOP_STAGING}")
