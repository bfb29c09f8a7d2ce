# cmake -DPROJECT_DIR=<root> -P Layers.cmake
# Each folder of src/ includes only from itself and the folders listed for it; so do the fuzz
# targets. A folder not listed for a layer is out of its reach: a new arrow is a design change
# and starts here.
#   platform                 the bottom: the standard library and the operating system
#   net, settings            on platform, and not on each other
#   rdap                     on net and platform; only ui uses it
#   widgets                  Qt controls on platform: no window, no network
#   ui                       the windows, on everything below
#   app                      the program, on everything but rdap, which ui alone drives
#   fuzz                     the core (platform, net, settings) and rdap, never Qt widgets
cmake_minimum_required(VERSION 3.20) # IN_LIST
set(uses_platform platform)
set(uses_net net platform)
set(uses_settings settings platform)
set(uses_rdap rdap net platform)
set(uses_widgets widgets platform)
set(uses_ui ui widgets rdap net settings platform)
set(uses_app app ui widgets net settings platform)
set(uses_fuzz rdap net settings platform)

set(folders platform net settings rdap widgets ui app fuzz)
set(arrows "")
foreach(layer IN LISTS folders)
    if(layer STREQUAL "fuzz")
        set(dir "${PROJECT_DIR}/fuzz")
    else()
        set(dir "${PROJECT_DIR}/src/${layer}")
    endif()
    file(GLOB_RECURSE files "${dir}/*.h" "${dir}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" used "${line}")
            if(NOT used IN_LIST uses_${layer})
                string(APPEND arrows "\n  ${file}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(arrows)
    message(FATAL_ERROR "includes that cross the layers:${arrows}")
endif()
