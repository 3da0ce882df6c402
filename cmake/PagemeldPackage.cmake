# The packages, made by `cpack` from the folder `cmake --install` fills. A Windows
# build gives two, both named with the version: the installer (NSIS, from
# cmake/windows/NSIS.template.in) and the portable zip.
#   cpack --config <build>/CPackConfig.cmake -G "NSIS;ZIP" -B <folder>
include_guard(GLOBAL)

set(CPACK_PACKAGE_NAME "${PAGEMELD_PRODUCT_NAME}")
set(CPACK_PACKAGE_VENDOR "${PAGEMELD_VENDOR}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${PAGEMELD_PRODUCT_NAME}")
# The name of the installation's key under ...\CurrentVersion\Uninstall.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${PROJECT_NAME}")
if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CPACK_SYSTEM_NAME win64)
    else()
        set(CPACK_SYSTEM_NAME win32)
    endif()
    set(CPACK_GENERATOR ZIP)
    # The installer makes shortcuts to the window program; a build without it gets
    # the zip alone.
    if(TARGET pagemeld)
        list(PREPEND CPACK_GENERATOR NSIS)
    endif()
else()
    set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
    set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")

# The installer. CPack hands only CPACK_* values to the template.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/windows)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_PAGEMELD_PROGRAM "pagemeld${CMAKE_EXECUTABLE_SUFFIX}")
set(CPACK_PAGEMELD_VERSION_QUAD
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
if(TARGET pagemeld_program_icon)
    pagemeld_program_icon(CPACK_PAGEMELD_ICON)
endif()
# The addresses "Apps" offers come from the shortcuts the program ships.
foreach(pair "website.url;CPACK_NSIS_URL_INFO_ABOUT" "support.url;CPACK_NSIS_HELP_LINK")
    list(GET pair 0 file)
    list(GET pair 1 variable)
    file(STRINGS ${PROJECT_SOURCE_DIR}/shortcuts/${file} line REGEX "^URL=" LIMIT_COUNT 1)
    string(REGEX REPLACE "^URL=[ \t]*([^ \t\r]*).*" "\\1" ${variable} "${line}")
endforeach()

include(CPack)
