# The program's code is built in layers, one static library per folder, and the dependencies run
# one way: common <- lang <- engine <- ui <- schedule <- app. Each layer compiles with an include
# path that holds only its own folder and the folders of the layers below it (a folder of links
# in the build tree), so an include that runs upwards does not build. Every header of a layer is
# also compiled on its own with that path, so a header that no file of its layer includes is
# held to the same rule.

set(LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# The include folder of a layer: links to `folders`, all relative to the source tree.
function(layer_include_root name)
    set(root ${LAYER_ROOTS}/${name})
    file(MAKE_DIRECTORY ${root})
    foreach(folder ${ARGN})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
endfunction()

# add_layer(NAME [BELOW lower layers...] [SOURCES files...] [LIBRARIES system libraries...])
# A layer may include its own headers and those of the layers named BELOW (which must list
# their own lower layers too, so the list is complete).
function(add_layer name)
    cmake_parse_arguments(ARG "" "" "BELOW;SOURCES;LIBRARIES" ${ARGN})
    layer_include_root(${name} ${name} ${ARG_BELOW})
    set(root ${LAYER_ROOTS}/${name})
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_include_directories(${name} PRIVATE ${root})
        target_link_libraries(${name} PUBLIC ${ARG_BELOW} ${ARG_LIBRARIES})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${ARG_BELOW} ${ARG_LIBRARIES})
    endif()

    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.h)
    set(checks)
    foreach(header ${headers})
        get_filename_component(file ${header} NAME)
        get_filename_component(base ${header} NAME_WE)
        set(check ${CMAKE_BINARY_DIR}/layer-check/${name}/${base}.cpp)
        file(CONFIGURE OUTPUT ${check} CONTENT "#include \"${name}/${file}\"\n")
        list(APPEND checks ${check})
    endforeach()
    if(checks)
        add_library(${name}_header_check OBJECT ${checks})
        target_include_directories(${name}_header_check PRIVATE ${root})
    endif()
endfunction()

# The include path of a target that belongs to layer `name` (a program or resources of it).
function(use_layer_includes target name)
    target_include_directories(${target} PRIVATE ${LAYER_ROOTS}/${name})
endfunction()
