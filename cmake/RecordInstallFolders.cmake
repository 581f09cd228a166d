# Runs at install time, before anything is installed: writes to
# QUILLERY_INSTALL_FOLDERS_RECORD the folders among QUILLERY_INSTALL_FOLDERS (relative to
# the prefix) and their parents that do not exist yet, so that uninstalling removes the
# folders this install creates and no folder that was there before it.
#
# Folders that an earlier install created and that still exist stay in the record: an
# install over an older one finds them present but they are still the program's. The
# program's own folder always counts as its own.

# CPack's install into its staging folder is no user's install (cmake/PackageInstall.cmake).
if(DEFINED ENV{QUILLERY_PACKAGING})
    return()
endif()

set(_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(_created)
if(EXISTS "${QUILLERY_INSTALL_FOLDERS_RECORD}")
    file(STRINGS "${QUILLERY_INSTALL_FOLDERS_RECORD}" _previous)
    foreach(_folder IN LISTS _previous)
        if(IS_DIRECTORY "${_folder}")
            list(APPEND _created "${_folder}")
        endif()
    endforeach()
endif()

list(APPEND _created "${_root}/${QUILLERY_INSTALL_APPDIR}")

foreach(_relative IN LISTS QUILLERY_INSTALL_FOLDERS)
    # Walk down from the file system's root, so that a prefix that does not exist yet
    # (cmake --install --prefix /new/folder) counts as created too.
    string(REPLACE "/" ";" _parts "${_root}/${_relative}")
    set(_path "")
    foreach(_part IN LISTS _parts)
        if(_part STREQUAL "")
            continue()
        endif()
        string(APPEND _path "/${_part}")
        if(NOT IS_DIRECTORY "${_path}")
            list(APPEND _created "${_path}")
        endif()
    endforeach()
endforeach()

list(REMOVE_DUPLICATES _created)
list(JOIN _created "\n" _text)
file(WRITE "${QUILLERY_INSTALL_FOLDERS_RECORD}" "${_text}\n")
