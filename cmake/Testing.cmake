if(CMAKE_CROSSCOMPILING)
    # No GoogleTest is installed for the target: build Debian's source with the same
    # compiler.
    set(QUILLERY_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    # It defines GTest::gtest and GTest::gtest_main itself.
    add_subdirectory(${QUILLERY_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest)
    if(NOT GTest_FOUND)
        message(FATAL_ERROR "The tests need GoogleTest (Debian: libgtest-dev). "
            "To build without the tests, configure with -DBUILD_TESTING=OFF.")
    endif()
endif()

# quillery_add_test(NAME SOURCES ... LIBRARIES ... [QT]): one test executable run by
# ctest. Plain tests use GoogleTest; QT tests use Qt Test and run on the offscreen
# platform, so they need no display.
function(quillery_add_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} quillery_options)
    if(ARG_QT)
        # Each window test has a folder of its own: the settings file lies beside it.
        set_target_properties(${name} PROPERTIES AUTOMOC ON
            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${name})
        target_link_libraries(${name} PRIVATE Qt6::Test)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
        add_test(NAME ${name} COMMAND ${name})
    endif()
endfunction()
