# The packaged kinds of build give the same program from any folder: the compilers write the
# source and build folders into the debug information and into __FILE__, and the linker
# computes the build id over the debug information before the package strips it, so two
# checkouts of one commit would otherwise ship two different programs. Debug and sanitizer
# builds keep absolute paths, which their debuggers and stack traces find without help.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    # The build folder is named as it lies in the tree, or plainly "build" outside it; GCC
    # takes the last map that matches, so the build folder, often inside the tree, comes last.
    file(RELATIVE_PATH build_folder "${PROJECT_SOURCE_DIR}" "${PROJECT_BINARY_DIR}")
    if(build_folder MATCHES "^\\.\\./" OR IS_ABSOLUTE "${build_folder}")
        set(build_folder build)
    endif()
    add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                        "-ffile-prefix-map=${PROJECT_BINARY_DIR}=${build_folder}")
    # A Windows program's header carries its link time unless told not to.
    if(WIN32)
        add_link_options(LINKER:--no-insert-timestamp)
    endif()
endif()
