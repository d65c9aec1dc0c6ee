# The runtime libraries of MinGW-w64's GCC that Qt's libraries import and that a clean
# Windows lacks: C++, GCC's unwinder and POSIX threads. Sets velmora_mingw_runtime to their
# paths.
set(velmora_mingw_runtime)
foreach(library IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${library}")
    endif()
    file(REAL_PATH "${path}" path)
    list(APPEND velmora_mingw_runtime "${path}")
endforeach()
