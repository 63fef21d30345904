# The product version, kept in one place: the file VERSION at the top of the tree (for example
# 1.0.0). From it come the version resources of the three binaries, the header ProductVersion.h
# for code that shows the version (link the interface library product_version to include it),
# and, through scripts/package, the installer's name and its "Apps and features" entry.
# Included by the top-level CMakeLists.txt after the binaries' targets exist.

file(READ ${CMAKE_SOURCE_DIR}/VERSION PRODUCT_VERSION)
string(STRIP "${PRODUCT_VERSION}" PRODUCT_VERSION)
if(NOT PRODUCT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "VERSION must hold MAJOR.MINOR.PATCH, not \"${PRODUCT_VERSION}\"")
endif()
set(PRODUCT_VERSION_MAJOR ${CMAKE_MATCH_1})
set(PRODUCT_VERSION_MINOR ${CMAKE_MATCH_2})
set(PRODUCT_VERSION_PATCH ${CMAKE_MATCH_3})
# Reconfigure when the file changes.
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/VERSION)

set(PRODUCT_VERSION_DIR ${CMAKE_BINARY_DIR}/version)
configure_file(${CMAKE_SOURCE_DIR}/cmake/ProductVersion.h.in ${PRODUCT_VERSION_DIR}/ProductVersion.h @ONLY)
add_library(product_version INTERFACE)
target_include_directories(product_version INTERFACE ${PRODUCT_VERSION_DIR})

# A VERSIONINFO resource for one binary, linked into it.
function(add_version_resource target file_type description)
    get_target_property(output_name ${target} OUTPUT_NAME)
    if(NOT output_name)
        set(output_name ${target})
    endif()
    if(file_type STREQUAL "VFT_APP")
        set(VERSION_FILE_NAME ${output_name}.exe)
    else()
        set(VERSION_FILE_NAME ${output_name}.dll)
    endif()
    set(VERSION_FILE_TYPE ${file_type})
    set(VERSION_DESCRIPTION "${description}")
    set(resource ${PRODUCT_VERSION_DIR}/${target}-version.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/VersionInfo.rc.in ${resource} @ONLY)
    target_sources(${target} PRIVATE ${resource})
endfunction()

add_version_resource(Nullwright VFT_APP "Vantor Shredder")
add_version_resource(Taskmere VFT_DLL "Vantor Shredder task scheduler component")
add_version_resource(Shelvane VFT_DLL "Vantor Shredder context menu extension")
