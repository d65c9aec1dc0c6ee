# Stages the program as it ships on Windows and makes the portable zip and the installer of
# it. Every staged file gets the time scripts/source-date-epoch gives and the zip lists its
# files in one order, so that the same sources make the same zip.
# Run by the build: cmake -DBUILD= -DSTAGE= -DSTRIP= -DZIP= -DSETUP= -DVERSION= -DICON=
#                         -DSOURCE= -P package.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND "${SOURCE}/scripts/source-date-epoch"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# strip writes the time into each Windows program and library it rewrites: this one.
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")

file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${STAGE}" --strip
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# Qt's libraries keep their symbol tables, which nothing on Windows reads.
file(GLOB_RECURSE libraries "${STAGE}/*.dll")
execute_process(COMMAND "${STRIP}" --strip-unneeded ${libraries} COMMAND_ERROR_IS_FATAL ANY)

# Given a certificate, the program is signed before either package holds it, and the
# installer signs its uninstaller and itself; without one, nothing is signed.
set(sign)
if(NOT "$ENV{VELMORA_SIGN_CERT}" STREQUAL "")
    set(sign "${CMAKE_CURRENT_LIST_DIR}/sign")
    execute_process(COMMAND "${sign}" "${STAGE}/velmora.exe" COMMAND_ERROR_IS_FATAL ANY)
    set(sign "-DSIGN=${sign}")
endif()

cmake_path(GET STAGE PARENT_PATH parent)
cmake_path(GET STAGE FILENAME top)
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${parent}" "${STAGE}/*")
list(APPEND entries "${top}")
list(SORT entries)
list(TRANSFORM entries PREPEND "${parent}/" OUTPUT_VARIABLE paths)
execute_process(COMMAND touch --no-dereference --date=@${epoch} ${paths}
    COMMAND_ERROR_IS_FATAL ANY)

# The time they were made with, for whoever makes them again to compare.
file(WRITE "${parent}/source-date-epoch" "${epoch}\n")

# zip adds to an archive that exists; its times are DOS times, in the time zone given.
file(REMOVE "${ZIP}")
list(JOIN entries "\n" listing)
file(WRITE "${parent}/zip-listing" "${listing}\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -9 -q -@ "${ZIP}"
    WORKING_DIRECTORY "${parent}" INPUT_FILE "${parent}/zip-listing"
    COMMAND_ERROR_IS_FATAL ANY)

set(files "${parent}/installer-files.nsh")
execute_process(COMMAND ${CMAKE_COMMAND} -DSTAGING=${STAGE} -DOUTPUT=${files}
    -P "${CMAKE_CURRENT_LIST_DIR}/installer-files.cmake" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND makensis -V2 -NOCD -INPUTCHARSET UTF8
    -DVERSION=${VERSION} -DSTAGING=${STAGE} -DFILES=${files}
    -DICON=${ICON} -DOUTFILE=${SETUP} ${sign} "${CMAKE_CURRENT_LIST_DIR}/installer.nsi"
    COMMAND_ERROR_IS_FATAL ANY)
