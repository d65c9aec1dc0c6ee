# Debian's hardening, which lintian checks in the package: a stack protector, fortified libc
# calls, relocations made read-only and resolved at start-up, a position-independent
# executable. Debug and sanitizer builds go without: the sanitizers check more, and
# _FORTIFY_SOURCE only works with the optimiser (it warns without it). Windows programs go
# without too: these are ELF's and glibc's measures, and MinGW-w64's linker already marks
# its programs for address-space randomisation and no-execute data.
option(VELMORA_HARDENING "Harden builds other than Debug and sanitizer ones as Debian does" ON)
if(NOT VELMORA_HARDENING OR WIN32 OR CMAKE_BUILD_TYPE STREQUAL "Debug"
   OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    return()
endif()

include(CheckPIESupported)
check_pie_supported(OUTPUT_VARIABLE pie_output LANGUAGES CXX)
if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(WARNING "The linker cannot make a position-independent executable:\n${pie_output}")
endif()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong
    # Undefined first: some compilers predefine it, and redefining it warns.
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(LINKER:-z,relro LINKER:-z,now)
