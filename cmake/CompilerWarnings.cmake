# Warnings are on for every target of the project and kept clean.
function(zelk_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
        -Wunused -Woverloaded-virtual -Wnull-dereference -Wformat=2
        -Wimplicit-fallthrough)
    if(ZELK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
