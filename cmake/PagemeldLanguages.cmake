# The language files ship beside the program, in a "languages" folder next to the
# executable: kept up to date there by every build (an edited file is copied again),
# so a built program finds them. The installed folder gets them from
# cmake/PagemeldInstall.cmake.
set(PAGEMELD_LANGUAGES_DIR ${CMAKE_CURRENT_LIST_DIR}/../languages)
cmake_path(NORMAL_PATH PAGEMELD_LANGUAGES_DIR)

# pagemeld_copy_languages(<target>)
function(pagemeld_copy_languages target)
    file(GLOB language_files CONFIGURE_DEPENDS ${PAGEMELD_LANGUAGES_DIR}/*.ini)
    # Where the executable lands: its target's folder, one per configuration for the
    # multi-configuration generators (Visual Studio).
    set(output_dir ${CMAKE_CURRENT_BINARY_DIR})
    get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
    if(multi_config)
        set(output_dir ${CMAKE_CURRENT_BINARY_DIR}/$<CONFIG>)
    endif()
    set(copies)
    foreach(file ${language_files})
        get_filename_component(name ${file} NAME)
        set(copy ${output_dir}/languages/${name})
        add_custom_command(OUTPUT ${copy}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${copy}
            DEPENDS ${file}
            COMMENT "Copying ${name} beside ${target}"
            VERBATIM)
        list(APPEND copies ${copy})
    endforeach()
    add_custom_target(${target}_languages ALL DEPENDS ${copies})
    add_dependencies(${target} ${target}_languages)
endfunction()

# pagemeld_language_locales(<out>): the codes the language files give as their
# "Locale" ("de", "fr"), which name Qt's translations of its own texts.
function(pagemeld_language_locales out)
    file(GLOB language_files CONFIGURE_DEPENDS ${PAGEMELD_LANGUAGES_DIR}/*.ini)
    set(locales)
    foreach(file ${language_files})
        file(STRINGS ${file} lines REGEX "^Locale=")
        foreach(line ${lines})
            string(REGEX REPLACE "^Locale=[ \t]*([^ \t\r]*).*" "\\1" locale "${line}")
            if(locale)
                list(APPEND locales ${locale})
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES locales)
    set(${out} ${locales} PARENT_SCOPE)
endfunction()
