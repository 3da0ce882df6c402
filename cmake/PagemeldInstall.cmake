# The installed program is a portable folder: the executable with its "languages"
# folder, Qt's translations of its own texts ("translations") and Internet shortcuts
# beside it, because the program looks for them next to its own executable.
# `cmake --install <build> --prefix <folder>` fills <folder>; the folder can then be
# moved or copied anywhere as a whole.
include_guard(GLOBAL)

set(PAGEMELD_INSTALL_DIR "." CACHE STRING
    "Folder below the install prefix that receives the program, its languages folder and shortcuts")

# Without a prefix of the user's choosing the program still gets a folder of its own,
# instead of scattering a languages folder and shortcut files over /usr/local.
if(NOT WIN32 AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /opt/ombrix-pagemeld CACHE PATH "Install path prefix" FORCE)
endif()

# pagemeld_install_qt_translations(<dir>): Qt's translations for the language files'
# locales into <dir>/translations, where the program looks first. A locale with a
# region ("pt_BR") falls back to its language's file, as the program does.
#
# Qt keeps its translations (qtbase_de.qm, ...) in Debian's package
# qt6-translations-l10n. The files are the same on every platform, so a cross build
# takes the host's. The folder found is kept as PAGEMELD_QT_TRANSLATIONS_DIR.
function(pagemeld_install_qt_translations dir)
    if(NOT PAGEMELD_QT_TRANSLATIONS_DIR)
        set(candidates)
        if(QT_HOST_PATH AND QT6_HOST_INFO_TRANSLATIONSDIR)
            list(APPEND candidates "${QT_HOST_PATH}/${QT6_HOST_INFO_TRANSLATIONSDIR}")
        endif()
        if(QT6_INSTALL_PREFIX AND QT6_INSTALL_TRANSLATIONS)
            list(APPEND candidates "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}")
        endif()
        foreach(candidate ${candidates})
            file(GLOB found "${candidate}/qtbase_*.qm")
            if(found)
                set(PAGEMELD_QT_TRANSLATIONS_DIR "${candidate}" CACHE PATH
                    "Folder of Qt's translation files (qtbase_<language>.qm)")
                break()
            endif()
        endforeach()
    endif()
    if(NOT PAGEMELD_QT_TRANSLATIONS_DIR)
        message(WARNING "Qt's translations were not found (Debian package "
                        "qt6-translations-l10n): the installed program shows Qt's buttons "
                        "and dialogs in English")
        return()
    endif()
    pagemeld_language_locales(locales)
    set(files)
    foreach(locale ${locales})
        string(REGEX REPLACE "_.*" "" language "${locale}")
        foreach(name qtbase_${locale}.qm qtbase_${language}.qm)
            if(EXISTS ${PAGEMELD_QT_TRANSLATIONS_DIR}/${name})
                list(APPEND files ${PAGEMELD_QT_TRANSLATIONS_DIR}/${name})
                break()
            endif()
        endforeach()
    endforeach()
    if(files)
        list(REMOVE_DUPLICATES files)
        install(FILES ${files} DESTINATION ${dir}/translations)
    endif()
endfunction()

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
    pagemeld_install_qt_translations(${dir})

    if(NOT WIN32 OR MINGW)
        # Elsewhere Qt and qpdf come from the system's packages; a MinGW build gets its
        # DLLs from pagemeld_install_mingw_runtime once every program is known.
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

# pagemeld_install_mingw_runtime(<targets>...)
# Call where Qt was found. A target named here that the build does not define (the
# console program in a build without it) is left out.
# Qt 6.4 has no windeployqt for MinGW, so the folder gets its DLLs here: the Qt
# plugins the window needs, and every DLL the programs and those plugins import that
# lies where the build found Qt, zlib and the compiler's runtime. The imports are
# read from the built files at install time, so the list follows the code; the DLLs
# found in none of those folders are Windows' own and stay behind.
function(pagemeld_install_mingw_runtime)
    set(dir ${PAGEMELD_INSTALL_DIR})
    set(plugins)
    foreach(plugin Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin
                   Qt6::QSchannelBackendPlugin Qt6::QICOPlugin)
        if(TARGET ${plugin})
            get_target_property(type ${plugin} QT_PLUGIN_TYPE)
            install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${dir}/${type})
            list(APPEND plugins "$<TARGET_FILE:${plugin}>")
        endif()
    endforeach()

    set(programs)
    foreach(target ${ARGN})
        list(APPEND programs "$<$<TARGET_EXISTS:${target}>:$<TARGET_FILE:${target}>>")
    endforeach()

    set(folders "$<TARGET_FILE_DIR:Qt6::Core>")
    foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${found}")
            get_filename_component(found "${found}" DIRECTORY)
            list(APPEND folders "${found}")
        endif()
    endforeach()
    foreach(root ${CMAKE_FIND_ROOT_PATH})
        list(APPEND folders "${root}/bin")
    endforeach()

    install(CODE "
        set(PAGEMELD_DLL_OBJDUMP \"${CMAKE_OBJDUMP}\")
        set(PAGEMELD_DLL_PROGRAMS ${programs})
        set(PAGEMELD_DLL_MODULES ${plugins})
        set(PAGEMELD_DLL_FOLDERS ${folders})
        set(PAGEMELD_DLL_DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${dir}\")
    ")
    install(SCRIPT ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PagemeldMingwDlls.cmake)
endfunction()
