# What makes a Windows executable look and behave like a Windows program: the
# program's icon, a version resource (what Explorer shows under Properties > Details
# and Task Manager shows as the name) and an application manifest.
include_guard(GLOBAL)

# pagemeld_program_icon(<out>): the icon file, drawn at build time from the window's
# artwork by tools/program_icon, and a target that makes it (pagemeld_program_icon).
# A cross build cannot run what it builds, so the tool is built for the host, with
# the host's compiler and Qt, as a project of its own.
function(pagemeld_program_icon out)
    set(icon ${CMAKE_BINARY_DIR}/pagemeld.ico)
    set(${out} ${icon} PARENT_SCOPE)
    if(TARGET pagemeld_program_icon)
        return()
    endif()
    set(tool_source ${PROJECT_SOURCE_DIR}/tools/program_icon)
    set(drawing ${tool_source}/main.cpp ${PROJECT_SOURCE_DIR}/src/gui/program_mark.cpp
                ${PROJECT_SOURCE_DIR}/src/gui/program_mark.h)
    if(CMAKE_CROSSCOMPILING)
        include(ExternalProject)
        set(host_args -DPAGEMELD_SOURCE_DIR=${PROJECT_SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release
                      -DPAGEMELD_WERROR=${PAGEMELD_WERROR})
        if(QT_HOST_PATH)
            list(APPEND host_args -DCMAKE_PREFIX_PATH=${QT_HOST_PATH})
        endif()
        if(CMAKE_CXX_COMPILER_LAUNCHER)
            list(APPEND host_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
        endif()
        set(tool_dir ${CMAKE_BINARY_DIR}/host-tools)
        ExternalProject_Add(pagemeld_icon_tool
            SOURCE_DIR ${tool_source}
            BINARY_DIR ${tool_dir}
            CMAKE_ARGS ${host_args}
            INSTALL_COMMAND ""
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${tool_dir}/pagemeld-icon)
        set(tool ${tool_dir}/pagemeld-icon)
    else()
        add_subdirectory(${tool_source} ${CMAKE_BINARY_DIR}/program_icon)
        set(tool $<TARGET_FILE:pagemeld-icon>)
    endif()
    add_custom_command(OUTPUT ${icon}
        COMMAND ${tool} ${icon}
        DEPENDS ${drawing}
        COMMENT "Drawing the program's icon"
        VERBATIM)
    add_custom_target(pagemeld_program_icon DEPENDS ${icon})
    if(CMAKE_CROSSCOMPILING)
        add_dependencies(pagemeld_program_icon pagemeld_icon_tool)
    else()
        add_dependencies(pagemeld_program_icon pagemeld-icon)
    endif()
endfunction()

# pagemeld_windows_program(<target> DESCRIPTION <text>): the icon, the version
# resource and the manifest for <target>. <text> is the file's description, the name
# Task Manager and "Open with" show. The version is the project's.
function(pagemeld_windows_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "")
    pagemeld_program_icon(PAGEMELD_ICON_FILE)
    set(PAGEMELD_FILE_DESCRIPTION "${arg_DESCRIPTION}")
    set(PAGEMELD_FILE_NAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
    set(PAGEMELD_TARGET_NAME "${target}")
    set(PAGEMELD_VERSION_QUAD
        "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
    string(REPLACE "." "," PAGEMELD_VERSION_COMMAS "${PAGEMELD_VERSION_QUAD}")

    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
    set(manifest ${dir}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${manifest} @ONLY)
    if(MSVC)
        # The linker writes a manifest of its own and merges the sources' into it.
        set(PAGEMELD_MANIFEST_RESOURCE "")
        target_sources(${target} PRIVATE ${manifest})
    else()
        set(PAGEMELD_MANIFEST_RESOURCE "1 24 \"${manifest}\"")
    endif()
    set(resources ${dir}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${resources} @ONLY)
    set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS
                                "${PAGEMELD_ICON_FILE};${manifest}")
    target_sources(${target} PRIVATE ${resources})
    add_dependencies(${target} pagemeld_program_icon)
endfunction()
