# quillery_sanitizers carries the chosen sanitizers to every target that links it.
add_library(quillery_sanitizers INTERFACE)
if(QUILLERY_SANITIZE)
    list(JOIN QUILLERY_SANITIZE "," _quillery_sanitizers)
    target_compile_options(quillery_sanitizers INTERFACE
        -fsanitize=${_quillery_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    target_link_options(quillery_sanitizers INTERFACE -fsanitize=${_quillery_sanitizers})
endif()

# The options every project target takes.
add_library(quillery_options INTERFACE)
target_link_libraries(quillery_options INTERFACE quillery_warnings quillery_sanitizers)
