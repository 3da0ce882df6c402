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

    if(WIN32 AND NOT CMAKE_CROSSCOMPILING)
        # qpdf and the libraries below it are DLLs in a vcpkg build: they go beside
        # the program too. Windows' own libraries stay out. (CMake cannot gather them
        # when cross-compiling.)
        install(TARGETS ${target} RUNTIME_DEPENDENCY_SET pagemeld_runtime_libraries
                RUNTIME DESTINATION ${dir})
        install(RUNTIME_DEPENDENCY_SET pagemeld_runtime_libraries
                DESTINATION ${dir}
                PRE_EXCLUDE_REGEXES [[api-ms-.*]] [[ext-ms-.*]]
                POST_EXCLUDE_REGEXES [[.*[/\\][Ss][Yy][Ss][Tt][Ee][Mm]32[/\\].*]]
                DIRECTORIES $<TARGET_FILE_DIR:${target}> $<TARGET_FILE_DIR:qpdf::libqpdf>
                            $<TARGET_FILE_DIR:Qt6::Core>)
    else()
        install(TARGETS ${target} RUNTIME DESTINATION ${dir})
    endif()
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
