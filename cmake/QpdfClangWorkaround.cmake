# clang before 16, in C++20 mode, rejects qpdf 11's JSON.hh: a defaulted virtual
# destructor of a class nested in JSON destroys a std::vector<JSON> while JSON is still
# incomplete. A copy of the header with that one destructor written out as an empty
# body, put ahead of the system's, is read the same by every compiler.
# pagemeld_qpdf_clang_workaround(<target>)
function(pagemeld_qpdf_clang_workaround target)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 16)
        return()
    endif()
    get_target_property(qpdf_includes qpdf::libqpdf INTERFACE_INCLUDE_DIRECTORIES)
    if(NOT qpdf_includes)
        set(qpdf_includes /usr/include)
    endif()
    foreach(dir ${qpdf_includes})
        if(EXISTS ${dir}/qpdf/JSON.hh)
            file(READ ${dir}/qpdf/JSON.hh json_header)
            string(FIND "${json_header}" "virtual ~JSON_array() = default;" at)
            if(at EQUAL -1)
                return()
            endif()
            string(REPLACE "virtual ~JSON_array() = default;" "virtual ~JSON_array() {}"
                           json_header "${json_header}")
            set(fixed ${CMAKE_BINARY_DIR}/qpdf-clang-workaround)
            # Rewritten only when it changes, so a new configure rebuilds nothing.
            file(WRITE ${fixed}/JSON.hh.new "${json_header}")
            file(MAKE_DIRECTORY ${fixed}/qpdf)
            file(COPY_FILE ${fixed}/JSON.hh.new ${fixed}/qpdf/JSON.hh ONLY_IF_DIFFERENT)
            target_include_directories(${target} SYSTEM BEFORE PUBLIC ${fixed})
            return()
        endif()
    endforeach()
endfunction()
