# Run by cpack between installing into its staging tree and making the package. Folders the
# install creates take the umask of whoever builds the package (0700 or 0775, say), which
# CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS does not override; Debian wants 0755.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(folders)
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        list(APPEND folders "${entry}")
    endif()
endforeach()
if(folders)
    file(CHMOD ${folders} DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
