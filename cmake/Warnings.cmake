# Every target of the project links quillery_warnings; nothing is set globally.
add_library(quillery_warnings INTERFACE)
target_compile_options(quillery_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(QUILLERY_WARNINGS_AS_ERRORS)
    target_compile_options(quillery_warnings INTERFACE -Werror)
endif()
