# Installation: the program finds its default dictionary and help page beside its
# executable, so it installs as one folder of its own, PREFIX/lib/quillery-mini, with
# launchers in PREFIX/bin that are symbolic links into it (the program resolves its folder
# through /proc/self/exe, which names the real file), plus the desktop menu entry, the
# hicolor icons and the AppStream metainfo under PREFIX/share.
#
# Every rule is here rather than in the subdirectories: the install runs its rules in the
# order they are declared, and the first one has to note which folders do not exist yet,
# before anything creates them, so that uninstalling removes exactly those again.

include(GNUInstallDirs)

set(QUILLERY_APP_ID "io.github.quillery.QuilleryMini")
set(QUILLERY_INSTALL_APPDIR "lib/quillery-mini"
    CACHE STRING "Folder of the program, its dictionary and help page, relative to the prefix")
set(QUILLERY_ICON_SIZES 16 32 48 64 128 256)

set(_quillery_desktop_dir "${CMAKE_INSTALL_DATADIR}/applications")
set(_quillery_metainfo_dir "${CMAKE_INSTALL_DATADIR}/metainfo")
set(_quillery_icon_dir "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
set(_quillery_help_source "${PROJECT_SOURCE_DIR}/res/help")
set(_quillery_man_dir "${CMAKE_INSTALL_MANDIR}/man1")
set(_quillery_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/quillery-mini")

# The folders the install puts files in; their missing parents count as created too.
set(_quillery_install_folders "${CMAKE_INSTALL_BINDIR}" "${QUILLERY_INSTALL_APPDIR}"
    "${QUILLERY_INSTALL_APPDIR}/help" "${_quillery_man_dir}" "${_quillery_doc_dir}")
if(IS_DIRECTORY "${_quillery_help_source}")
    file(GLOB_RECURSE _quillery_help_folders LIST_DIRECTORIES true
        RELATIVE "${_quillery_help_source}" "${_quillery_help_source}/*")
    foreach(_folder IN LISTS _quillery_help_folders)
        if(IS_DIRECTORY "${_quillery_help_source}/${_folder}")
            list(APPEND _quillery_install_folders "${QUILLERY_INSTALL_APPDIR}/help/${_folder}")
        endif()
    endforeach()
endif()
if(TARGET QuilleryMini)
    list(APPEND _quillery_install_folders "${_quillery_desktop_dir}" "${_quillery_metainfo_dir}"
        "${_quillery_icon_dir}/scalable/apps")
    foreach(_size IN LISTS QUILLERY_ICON_SIZES)
        list(APPEND _quillery_install_folders "${_quillery_icon_dir}/${_size}x${_size}/apps")
    endforeach()
endif()

# Kept beside install_manifest.txt, which lists the files.
set(QUILLERY_INSTALL_FOLDERS_RECORD "${CMAKE_BINARY_DIR}/install_folders.txt")

install(CODE "
set(QUILLERY_INSTALL_FOLDERS_RECORD \"${QUILLERY_INSTALL_FOLDERS_RECORD}\")
set(QUILLERY_INSTALL_FOLDERS \"${_quillery_install_folders}\")
set(QUILLERY_INSTALL_APPDIR \"${QUILLERY_INSTALL_APPDIR}\")
")
install(SCRIPT "${PROJECT_SOURCE_DIR}/cmake/RecordInstallFolders.cmake")

# The program's folder.
set(_quillery_programs quillery-convert)
if(TARGET QuilleryMini)
    list(PREPEND _quillery_programs QuilleryMini)
endif()
install(TARGETS ${_quillery_programs} RUNTIME DESTINATION "${QUILLERY_INSTALL_APPDIR}")
install(FILES "${PROJECT_SOURCE_DIR}/res/velmo.dat" DESTINATION "${QUILLERY_INSTALL_APPDIR}")
# The marker that makes the folder an installed copy (settings/ExecutableFolder.h): nothing
# is written into it at run time, by root neither; each user's settings go to their own
# per-user file. A portable install (the Windows ZIP) leaves it out and, like a build
# folder, keeps its settings beside the program.
if(WIN32)
    set(_quillery_portable_default ON)
else()
    set(_quillery_portable_default OFF)
endif()
option(QUILLERY_PORTABLE_INSTALL
    "Install a portable copy, which keeps its settings beside the program"
    ${_quillery_portable_default})
if(NOT QUILLERY_PORTABLE_INSTALL)
    install(FILES "${PROJECT_SOURCE_DIR}/res/QuilleryMini.installed"
        DESTINATION "${QUILLERY_INSTALL_APPDIR}")
endif()
# The help page is opened from the folder beside the executable.
install(DIRECTORY "${_quillery_help_source}" DESTINATION "${QUILLERY_INSTALL_APPDIR}" OPTIONAL)

# Launchers: relative links, so the installed tree can be moved (or staged with DESTDIR).
file(RELATIVE_PATH _quillery_bin_to_app "/prefix/${CMAKE_INSTALL_BINDIR}"
    "/prefix/${QUILLERY_INSTALL_APPDIR}")
set(_quillery_launcher_dir "${CMAKE_BINARY_DIR}/launchers")
file(MAKE_DIRECTORY "${_quillery_launcher_dir}")
foreach(_program IN LISTS _quillery_programs)
    file(CREATE_LINK "${_quillery_bin_to_app}/${_program}" "${_quillery_launcher_dir}/${_program}"
        SYMBOLIC)
    install(FILES "${_quillery_launcher_dir}/${_program}" DESTINATION "${CMAKE_INSTALL_BINDIR}")
endforeach()

# The manual pages, compressed as Debian wants them where gzip is at hand.
find_program(QUILLERY_GZIP gzip)
set(_quillery_man_pages quillery-convert.1)
if(TARGET QuilleryMini)
    list(APPEND _quillery_man_pages QuilleryMini.1)
endif()
set(_quillery_man_outputs)
foreach(_page IN LISTS _quillery_man_pages)
    set(_source "${PROJECT_SOURCE_DIR}/res/man/${_page}.in")
    set(_page_file "${CMAKE_BINARY_DIR}/man/${_page}")
    configure_file("${_source}" "${_page_file}" @ONLY)
    if(QUILLERY_GZIP)
        # -n: no name or time stamp in the archive, so that the same page gives the same bytes.
        add_custom_command(OUTPUT "${_page_file}.gz"
            COMMAND "${QUILLERY_GZIP}" -9nkf "${_page_file}"
            DEPENDS "${_page_file}" "${_source}"
            COMMENT "Compressing the manual page ${_page}"
            VERBATIM)
        list(APPEND _quillery_man_outputs "${_page_file}.gz")
    else()
        list(APPEND _quillery_man_outputs "${_page_file}")
    endif()
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${_quillery_man_outputs})
install(FILES ${_quillery_man_outputs} DESTINATION "${_quillery_man_dir}")

# The licence, as the Debian copyright file (which names it and holds its text indented,
# a blank line as " .") and as the plain file.
file(STRINGS "${PROJECT_SOURCE_DIR}/LICENSE" _quillery_license_lines)
list(POP_FRONT _quillery_license_lines)  # "MIT License": the copyright file names it
set(QUILLERY_LICENSE_TEXT "")
foreach(_line IN LISTS _quillery_license_lines)
    if(_line STREQUAL "")
        set(_line ".")
    endif()
    string(APPEND QUILLERY_LICENSE_TEXT " ${_line}\n")
endforeach()
string(REGEX REPLACE "^ \\.\n" "" QUILLERY_LICENSE_TEXT "${QUILLERY_LICENSE_TEXT}")
string(REGEX REPLACE "\n$" "" QUILLERY_LICENSE_TEXT "${QUILLERY_LICENSE_TEXT}")
configure_file("${PROJECT_SOURCE_DIR}/res/debian/copyright.in" "${CMAKE_BINARY_DIR}/doc/copyright"
    @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/doc/copyright" DESTINATION "${_quillery_doc_dir}")

if(TARGET QuilleryMini)
    configure_file("${PROJECT_SOURCE_DIR}/res/desktop/${QUILLERY_APP_ID}.metainfo.xml.in"
        "${CMAKE_BINARY_DIR}/desktop/${QUILLERY_APP_ID}.metainfo.xml" @ONLY)
    install(FILES "${CMAKE_BINARY_DIR}/desktop/${QUILLERY_APP_ID}.metainfo.xml"
        DESTINATION "${_quillery_metainfo_dir}")

    # The menu entry names the launcher by its full path: a fresh ~/.local/bin is not on
    # the desktop session's PATH until the next login. The prefix is known only when the
    # install runs (cmake --install --prefix), so the file is written then.
    install(CODE "
set(QUILLERY_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/res/desktop/${QUILLERY_APP_ID}.desktop.in\")
set(QUILLERY_DESKTOP_STAGING \"${CMAKE_BINARY_DIR}/desktop/install/${QUILLERY_APP_ID}.desktop\")
set(QUILLERY_DESKTOP_DESTINATION \"${_quillery_desktop_dir}\")
set(QUILLERY_LAUNCHER \"${CMAKE_INSTALL_BINDIR}/QuilleryMini\")
set(QUILLERY_APP_ID \"${QUILLERY_APP_ID}\")
set(PROJECT_VERSION \"${PROJECT_VERSION}\")
")
    install(SCRIPT "${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake")

    install(FILES "${PROJECT_SOURCE_DIR}/res/icons/quillery-mini.svg"
        DESTINATION "${_quillery_icon_dir}/scalable/apps" RENAME "${QUILLERY_APP_ID}.svg")
    foreach(_size IN LISTS QUILLERY_ICON_SIZES)
        install(FILES "${PROJECT_SOURCE_DIR}/res/icons/quillery-mini-${_size}.png"
            DESTINATION "${_quillery_icon_dir}/${_size}x${_size}/apps"
            RENAME "${QUILLERY_APP_ID}.png")
    endforeach()
endif()

# cmake --build build --target uninstall: removes what the last install of this build
# listed in install_manifest.txt, and the folders that install created once they are empty.
add_custom_target(uninstall
    COMMAND "${CMAKE_COMMAND}"
        "-DQUILLERY_INSTALL_MANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt"
        "-DQUILLERY_INSTALL_FOLDERS_RECORD=${QUILLERY_INSTALL_FOLDERS_RECORD}"
        -P "${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake"
    COMMENT "Removing the installed files"
    VERBATIM)
