# quillery_sanitizers carries the chosen sanitizers to every target that links it. Any
# report ends the program (no recovery), so a test that triggers one fails.
add_library(quillery_sanitizers INTERFACE)
if(QUILLERY_SANITIZE)
    foreach(_sanitizer IN LISTS QUILLERY_SANITIZE)
        if(NOT _sanitizer MATCHES "^(address|undefined|thread)$")
            message(FATAL_ERROR "QUILLERY_SANITIZE: unknown sanitizer '${_sanitizer}'")
        endif()
    endforeach()
    if("thread" IN_LIST QUILLERY_SANITIZE AND "address" IN_LIST QUILLERY_SANITIZE)
        message(FATAL_ERROR "QUILLERY_SANITIZE: thread and address cannot be combined")
    endif()
    list(JOIN QUILLERY_SANITIZE "," _quillery_sanitizers)
    target_compile_options(quillery_sanitizers INTERFACE
        -fsanitize=${_quillery_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    target_link_options(quillery_sanitizers INTERFACE -fsanitize=${_quillery_sanitizers})
endif()

# The options every project target takes.
add_library(quillery_options INTERFACE)
target_link_libraries(quillery_options INTERFACE quillery_warnings quillery_sanitizers)
