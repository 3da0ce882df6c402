# The language files ship beside the program, in a "languages" folder next to the
# executable: copied there after every build, so a built program finds them. The
# installed folder gets them from cmake/PagemeldInstall.cmake.
set(PAGEMELD_LANGUAGES_DIR ${CMAKE_CURRENT_LIST_DIR}/../languages)
cmake_path(NORMAL_PATH PAGEMELD_LANGUAGES_DIR)

# pagemeld_copy_languages(<target>)
function(pagemeld_copy_languages target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${PAGEMELD_LANGUAGES_DIR}
                $<TARGET_FILE_DIR:${target}>/languages
        COMMENT "Copying the language files beside ${target}"
        VERBATIM)
endfunction()
