# One library per source folder, each linking only the layers below it:
#   common <- analysis <- insertion <- batch <- shell <- gui <- (the windows, zelk-cli)
# Headers are included as "layer/Name.h". A library does not see src/ as a
# whole: it gets an include root of its own in the build tree holding only a
# link to its own folder, and the roots of the layers it links. An #include
# that points up the stack therefore fails to compile instead of quietly
# working.
function(zelk_layer target folder)
    cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LINKS;PRIVATE_LINKS" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    add_library(${target} STATIC ${L_SOURCES})
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    target_link_libraries(${target} PUBLIC ${L_PUBLIC_LINKS} PRIVATE ${L_PRIVATE_LINKS})
    zelk_warnings(${target})
endfunction()
