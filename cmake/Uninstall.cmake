# cmake -DQUILLERY_INSTALL_MANIFEST=<build>/install_manifest.txt
#       -DQUILLERY_INSTALL_FOLDERS_RECORD=<build>/install_folders.txt -P Uninstall.cmake
#
# Removes every file and link that the install listed in its manifest, then the folders
# the install created, each once it is empty. A folder that existed before the install
# (~/.local/bin, ~/.local/share/applications) stays, and so does anything else that was put
# into one of the program's folders: it is not removed, and keeps its folder.
#
# A staged install is removed with the same DESTDIR in the environment: the manifest
# lists the paths without it.

if(NOT QUILLERY_INSTALL_MANIFEST OR NOT EXISTS "${QUILLERY_INSTALL_MANIFEST}")
    message(FATAL_ERROR "Nothing to uninstall: no install manifest "
        "\"${QUILLERY_INSTALL_MANIFEST}\" (it is written by cmake --install)")
endif()

file(STRINGS "${QUILLERY_INSTALL_MANIFEST}" _listed)
set(_files)
foreach(_file IN LISTS _listed)
    list(APPEND _files "$ENV{DESTDIR}${_file}")
endforeach()
set(_created)
if(QUILLERY_INSTALL_FOLDERS_RECORD AND EXISTS "${QUILLERY_INSTALL_FOLDERS_RECORD}")
    file(STRINGS "${QUILLERY_INSTALL_FOLDERS_RECORD}" _created)
endif()

set(_failed 0)
set(_kept_folders)
foreach(_file IN LISTS _files)
    if(IS_SYMLINK "${_file}" OR (EXISTS "${_file}" AND NOT IS_DIRECTORY "${_file}"))
        message(STATUS "Removing: ${_file}")
        file(REMOVE "${_file}")
        if(IS_SYMLINK "${_file}" OR EXISTS "${_file}")
            message(WARNING "Could not remove ${_file}")
            set(_failed 1)
        endif()
    elseif(IS_DIRECTORY "${_file}")
        message(WARNING "Not removed, it is a folder now: ${_file}")
    else()
        message(STATUS "Not installed: ${_file}")
    endif()
endforeach()

# True when `folder` is one the install created or lies inside one.
function(_quillery_created folder result)
    foreach(_ours IN LISTS _created)
        string(FIND "${folder}/" "${_ours}/" _at)
        if(_at EQUAL 0)
            set(${result} TRUE PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${result} FALSE PARENT_SCOPE)
endfunction()

# All files are gone by now, so walking up from each one removes every emptied folder:
# rmdir removes a folder only when it is empty, and the walk stops at the first one that
# is not (or that was not the install's).
foreach(_file IN LISTS _files)
    get_filename_component(_folder "${_file}" DIRECTORY)
    while(IS_DIRECTORY "${_folder}" AND NOT IS_SYMLINK "${_folder}")
        _quillery_created("${_folder}" _ours)
        if(NOT _ours)
            break()
        endif()
        execute_process(COMMAND rmdir "${_folder}" RESULT_VARIABLE _result
            OUTPUT_QUIET ERROR_QUIET)
        if(NOT _result EQUAL 0)
            list(APPEND _kept_folders "${_folder}")
            break()
        endif()
        message(STATUS "Removing folder: ${_folder}")
        get_filename_component(_folder "${_folder}" DIRECTORY)
    endwhile()
endforeach()

# A settings file put beside the program (an administrator's defaults), and whatever else
# was put there since, is not the install's: say where it was left, so that it can be
# deleted by hand or found again by the next install.
list(REMOVE_DUPLICATES _kept_folders)
set(_left_folders)
foreach(_folder IN LISTS _kept_folders)
    # A folder a later walk emptied and removed was only waiting for its siblings.
    if(IS_DIRECTORY "${_folder}")
        list(APPEND _left_folders "${_folder}")
    endif()
endforeach()
foreach(_folder IN LISTS _left_folders)
    file(GLOB _entries RELATIVE "${_folder}" "${_folder}/*")
    set(_names)
    foreach(_entry IN LISTS _entries)
        # The way down to another kept folder is told there.
        set(_on_the_way FALSE)
        foreach(_other IN LISTS _left_folders)
            string(FIND "${_other}/" "${_folder}/${_entry}/" _at)
            if(_at EQUAL 0)
                set(_on_the_way TRUE)
            endif()
        endforeach()
        if(NOT _on_the_way)
            list(APPEND _names "${_entry}")
        endif()
    endforeach()
    if(_names)
        list(JOIN _names ", " _names)
        message(STATUS "Kept: ${_folder} (holds ${_names}, which the install did not put there)")
    endif()
endforeach()

# An installed copy keeps each user's settings in a per-user file, which is that user's
# own and stays.
message(STATUS "Per-user settings files, if any, stay in each user's "
    "~/.config/QuilleryMini/ (or $XDG_CONFIG_HOME/QuilleryMini/)")

# What is left of the record: folders an install over this one still counts as its own.
set(_kept)
foreach(_folder IN LISTS _created)
    if(IS_DIRECTORY "${_folder}")
        list(APPEND _kept "${_folder}")
    endif()
endforeach()
if(QUILLERY_INSTALL_FOLDERS_RECORD)
    if(_kept)
        list(JOIN _kept "\n" _text)
        file(WRITE "${QUILLERY_INSTALL_FOLDERS_RECORD}" "${_text}\n")
    else()
        file(REMOVE "${QUILLERY_INSTALL_FOLDERS_RECORD}")
    endif()
endif()

if(_failed)
    message(FATAL_ERROR "Some installed files could not be removed")
endif()
