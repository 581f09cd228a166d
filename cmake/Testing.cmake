find_package(GTest REQUIRED)

# quillery_add_test(NAME SOURCES... LIBRARIES... [QT]): one GoogleTest executable, run by
# ctest. QT tests run on the offscreen platform, so they need no display.
function(quillery_add_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main
        quillery_options)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_QT)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
endfunction()
