# The Windows release: `cpack` in the Windows build makes one ZIP holding a folder with
# the program, the converter, the default dictionary, the help page, the licence and a
# short Japanese readme. Unpacked anywhere, it runs from there: the settings file lies
# beside the program (or under %APPDATA% where that folder cannot be written).
install(TARGETS QuilleryMini quillery-convert RUNTIME DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/res/velmo.dat" "${PROJECT_SOURCE_DIR}/LICENSE"
    "${PROJECT_SOURCE_DIR}/res/windows/README-ja.txt" DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/res/help/index.html" DESTINATION help)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME QuilleryMini)
set(CPACK_PACKAGE_VENDOR "The Quillery Mini developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "QuilleryMini-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Debug information stays in the build; the release carries the programs alone.
set(CPACK_STRIP_FILES ON)
include(CPack)
