# The installed program is a portable folder: the executable with its "languages"
# folder and Internet shortcuts beside it, because the program looks for them next to
# its own executable. `cmake --install <build> --prefix <folder>` fills <folder>; the
# folder can then be moved or copied anywhere as a whole.
include_guard(GLOBAL)

set(PAGEMELD_INSTALL_DIR "." CACHE STRING
    "Folder below the install prefix that receives the program, its languages folder and shortcuts")

# Without a prefix of the user's choosing the program still gets a folder of its own,
# instead of scattering a languages folder and shortcut files over /usr/local.
if(NOT WIN32 AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /opt/ombrix-pagemeld CACHE PATH "Install path prefix" FORCE)
endif()

# pagemeld_install_program(<target> SHORTCUTS <files>...)
function(pagemeld_install_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SHORTCUTS")
    set(dir ${PAGEMELD_INSTALL_DIR})

    # In a vcpkg build on Windows the DLLs of qpdf and of the libraries below it come
    # along with this rule when X_VCPKG_APPLOCAL_DEPS_INSTALL is on (the Windows
    # presets turn it on).
    install(TARGETS ${target} RUNTIME DESTINATION ${dir})
    install(DIRECTORY ${PAGEMELD_LANGUAGES_DIR}/ DESTINATION ${dir}/languages)
    install(FILES ${arg_SHORTCUTS} DESTINATION ${dir})

    if(NOT WIN32)
        # Elsewhere Qt and qpdf come from the system's packages.
        return()
    endif()

    # The C++ runtime, for machines without the Visual C++ redistributable.
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${dir})
    include(InstallRequiredSystemLibraries)

    # Qt's libraries and plugins (platform, styles, TLS) beside the program, through
    # windeployqt. Qt's script puts them below bin/ unless told otherwise.
    if(NOT COMMAND qt_generate_deploy_app_script)
        message(WARNING "Qt ${Qt6_VERSION} cannot deploy itself (needs Qt 6.3 or later): "
                        "run windeployqt on the installed ${target} yourself")
        return()
    endif()
    if(Qt6_VERSION VERSION_GREATER_EQUAL 6.5)
        qt_generate_deploy_app_script(TARGET ${target} OUTPUT_SCRIPT deploy_script
                                      NO_UNSUPPORTED_PLATFORM_ERROR)
    else()
        qt_generate_deploy_app_script(TARGET ${target} FILENAME_VARIABLE deploy_script
                                      NO_UNSUPPORTED_PLATFORM_ERROR)
    endif()
    install(CODE "
        set(QT_DEPLOY_BIN_DIR \"${dir}\")
        set(QT_DEPLOY_LIB_DIR \"${dir}\")
        set(QT_DEPLOY_PLUGINS_DIR \"${dir}/plugins\")")
    install(SCRIPT ${deploy_script})
endfunction()

# pagemeld_install_console_program(<target>): the console program, beside the window
# program. Built without the window it brings the languages folder (and on Windows
# the C++ runtime) itself.
function(pagemeld_install_console_program target)
    set(dir ${PAGEMELD_INSTALL_DIR})
    install(TARGETS ${target} RUNTIME DESTINATION ${dir})
    if(PAGEMELD_BUILD_GUI)
        return()
    endif()
    install(DIRECTORY ${PAGEMELD_LANGUAGES_DIR}/ DESTINATION ${dir}/languages)
    if(WIN32)
        set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${dir})
        include(InstallRequiredSystemLibraries)
    endif()
endfunction()
