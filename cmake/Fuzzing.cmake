# QUILLERY_BUILD_FUZZERS turns the targets of tests/fuzz into libFuzzer programs. Every
# project target is then compiled with the fuzzer's coverage instrumentation, so that the
# fuzzer is guided by the engine's and the settings' own branches.
if(QUILLERY_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUILLERY_BUILD_FUZZERS needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    if(NOT BUILD_TESTING)
        message(FATAL_ERROR "QUILLERY_BUILD_FUZZERS needs BUILD_TESTING (the fuzz targets are tests)")
    endif()
    target_compile_options(quillery_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
endif()
