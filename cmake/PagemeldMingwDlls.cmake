# Run at install time (install(CODE) sets the inputs): copies into PAGEMELD_DLL_DESTINATION
# every DLL that PAGEMELD_DLL_PROGRAMS and PAGEMELD_DLL_MODULES import, directly or
# through each other, that lies in one of PAGEMELD_DLL_FOLDERS. Windows' own DLLs are
# in none of them and stay behind.
#
# CMake compares DLL names in lower case, as Windows does, and then looks for the
# lower-case name: on a case-sensitive disk "Qt6Core.dll" is not found that way, so
# names are matched here against the folders' listings.
cmake_policy(VERSION 3.22)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${PAGEMELD_DLL_OBJDUMP}")

set(available)
foreach(folder ${PAGEMELD_DLL_FOLDERS})
    file(GLOB dlls "${folder}/*.dll")
    list(APPEND available ${dlls})
endforeach()

set(found)
set(scan_executables ${PAGEMELD_DLL_PROGRAMS})
set(scan_modules ${PAGEMELD_DLL_MODULES})
set(scan_libraries)
while(scan_executables OR scan_modules OR scan_libraries)
    file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES ${scan_executables}
        MODULES ${scan_modules}
        LIBRARIES ${scan_libraries}
        DIRECTORIES ${PAGEMELD_DLL_FOLDERS}
        RESOLVED_DEPENDENCIES_VAR resolved
        UNRESOLVED_DEPENDENCIES_VAR unresolved
        CONFLICTING_DEPENDENCIES_PREFIX conflicting
        PRE_EXCLUDE_REGEXES [[^api-ms-]] [[^ext-ms-]])
    set(scan_executables)
    set(scan_modules)
    set(scan_libraries)
    set(wanted)
    foreach(file ${resolved})
        get_filename_component(name "${file}" NAME)
        string(TOLOWER "${name}" name)
        list(APPEND wanted "${name}")
    endforeach()
    # A DLL in several folders (the compiler's runtime) is taken from the first.
    foreach(name ${unresolved} ${conflicting_FILENAMES})
        string(TOLOWER "${name}" name)
        list(APPEND wanted "${name}")
    endforeach()
    foreach(candidate ${available})
        get_filename_component(name "${candidate}" NAME)
        string(TOLOWER "${name}" name)
        if(name IN_LIST wanted AND NOT candidate IN_LIST found)
            list(APPEND found "${candidate}")
            list(APPEND scan_libraries "${candidate}")
        endif()
    endforeach()
endwhile()

# One copy per name: the first folder that has it wins.
set(names)
foreach(file ${found})
    get_filename_component(name "${file}" NAME)
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST names)
        list(APPEND names "${name}")
        file(INSTALL "${file}" DESTINATION "${PAGEMELD_DLL_DESTINATION}")
    endif()
endforeach()
