# Fails when a source file includes a header of a layer above its own.
# Run as a test: cmake -DSOURCE_DIR=<repository> -P cmake/CheckLayers.cmake
#
# Each folder lists the folders whose headers it may include besides its
# own. Tests, benchmarks and tools sit on top and are not checked.
cmake_policy(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(layers
    core core/qt core/scripted core/terminal
    neural trainer trainer/dialog
    world world/view
    link/settings link/protocol link/trame link/recorder link/rejeu link link/dialog
    calibration robot console)

set(allowed_core "")
set(allowed_core/qt core)
set(allowed_core/scripted core)
set(allowed_core/terminal core)
set(allowed_neural core)
set(allowed_trainer core neural)
set(allowed_trainer/dialog core core/qt neural trainer)
set(allowed_world core)
set(allowed_world/view core world)
set(allowed_link/settings core)
set(allowed_link/protocol core)
set(allowed_link/trame core world link/protocol)
set(allowed_link/recorder core)
set(allowed_link/rejeu core world link/protocol link/recorder)
set(allowed_link core link/settings link/protocol link/recorder)
set(allowed_link/dialog core core/qt link link/settings)
set(allowed_calibration core neural trainer world)
set(allowed_robot core world link/protocol)
set(allowed_console core core/qt neural trainer trainer/dialog world world/view
    link/settings link/protocol link/trame link/recorder link/rejeu link link/dialog calibration)

# The layer a repository-relative folder belongs to: its longest listed prefix.
function(layer_of folder out)
    set(best "")
    foreach(l IN LISTS layers)
        if(folder STREQUAL l OR folder MATCHES "^${l}/")
            string(LENGTH "${l}" n)
            string(LENGTH "${best}" m)
            if(n GREATER m)
                set(best "${l}")
            endif()
        endif()
    endforeach()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(violations 0)
foreach(l IN LISTS layers)
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/${l}")
        continue()
    endif()
    file(GLOB files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${l}/*.h" "${SOURCE_DIR}/${l}/*.cpp")
    foreach(f IN LISTS files)
        file(STRINGS "${SOURCE_DIR}/${f}" includes
             REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([^\"]+)/[^\"/]+\".*$" "\\1" included "${line}")
            layer_of("${included}" included_layer)
            if(included_layer STREQUAL "" OR included_layer STREQUAL l)
                continue()
            endif()
            if(NOT included_layer IN_LIST allowed_${l})
                message(SEND_ERROR "${f}: ${l} may not include ${included_layer} (${line})")
                math(EXPR violations "${violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) point up the layers")
endif()
message(STATUS "Layers point downwards")
