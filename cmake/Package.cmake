# The Debian package: cpack -G DEB in a build folder makes quillery-mini_VERSION_ARCH.deb,
# the same files as cmake --install with the prefix /usr, plus the Debian changelog.
# Its dependencies are those dpkg-shlibdeps finds for the programs.

if(NOT UNIX OR APPLE)
    return()
endif()

# The release date as RFC 2822 wants it in the changelog, weekday first (Sakamoto's method).
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _quillery_date "${QUILLERY_RELEASE_DATE}")
set(_year ${CMAKE_MATCH_1})
math(EXPR _month "${CMAKE_MATCH_2}")
math(EXPR _day "${CMAKE_MATCH_3}")
set(_month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR _index "${_month} - 1")
list(GET _month_offsets ${_index} _offset)
if(_month LESS 3)
    math(EXPR _year "${_year} - 1")
endif()
math(EXPR _weekday "(${_year} + ${_year} / 4 - ${_year} / 100 + ${_year} / 400 + ${_offset} + ${_day}) % 7")
set(_weekdays Sun Mon Tue Wed Thu Fri Sat)
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET _weekdays ${_weekday} _weekday_name)
list(GET _months ${_index} _month_name)
set(QUILLERY_RELEASE_DATE_RFC2822
    "${_weekday_name}, ${CMAKE_MATCH_3} ${_month_name} ${CMAKE_MATCH_1} 00:00:00 +0000")

configure_file("${PROJECT_SOURCE_DIR}/res/debian/changelog.in"
    "${CMAKE_BINARY_DIR}/doc/changelog" @ONLY)
if(QUILLERY_GZIP)
    add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/doc/changelog.gz"
        COMMAND "${QUILLERY_GZIP}" -9nkf "${CMAKE_BINARY_DIR}/doc/changelog"
        DEPENDS "${CMAKE_BINARY_DIR}/doc/changelog" "${PROJECT_SOURCE_DIR}/res/debian/changelog.in"
        VERBATIM)
    add_custom_target(debian_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/doc/changelog.gz")
    # Only into the package: the Debian changelog means nothing in a user's ~/.local.
    install(CODE "
if(DEFINED ENV{QUILLERY_PACKAGING})
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/doc/quillery-mini\"
        TYPE FILE FILES \"${CMAKE_BINARY_DIR}/doc/changelog.gz\")
endif()
")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillery-mini)
set(CPACK_PACKAGE_VENDOR "The Quillery Mini developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${QUILLERY_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${QUILLERY_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyword insertion for Japanese prose")
set(CPACK_PACKAGE_DESCRIPTION "\
Quillery Mini takes a Japanese text and inserts keywords from a dictionary
file in front of its phrases, each at a random draw at the chosen ratio.
A phrase is a run of characters that are neither hiragana nor the marks
、。，．. The package holds the desktop program and quillery-convert, the
same conversion from the command line (code page 932 or UTF-8).")

# The install rules run with DESTDIR set to the staging folder and the prefix /usr, so
# that the desktop entry names /usr/bin/QuilleryMini, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Run by CPack before installing: tells the install scripts that a package is made.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/PackageInstall.cmake")
# Every rule is of the one default component. Named, it is installed all the same, and
# the install lists its files in install_manifest_Unspecified.txt rather than replacing
# install_manifest.txt, the list of a user's install that the uninstall target reads.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese text shows as boxes without a Japanese font; Qt's own dialogs speak Japanese
# with its translations; the help page opens through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
