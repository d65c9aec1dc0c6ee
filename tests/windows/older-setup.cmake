# Makes an older version's installer for the installer's test, with the installer script and
# its file list as 1.0.0 shipped them (fixtures/), so that upgrading meets the uninstaller
# users have: the staged program and one more file, obsolete.txt, which installing the newer
# version over it must take away. It calls itself 0.9.0: the program under test is 1.0.0 as
# well, and only another number shows whether the installed apps list the new version.
# Usage: cmake -DSTAGE= -DWORK= -DICON= -P older-setup.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(COPY "${STAGE}/" DESTINATION "${WORK}/stage")
file(WRITE "${WORK}/stage/obsolete.txt" "Shipped by 0.9.0 only.\n")
set(fixtures "${CMAKE_CURRENT_LIST_DIR}/fixtures")
execute_process(COMMAND ${CMAKE_COMMAND} -DSTAGING=${WORK}/stage -DOUTPUT=${WORK}/files.nsh
    -P "${fixtures}/installer-files-1.0.0.cmake" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND makensis -V2 -NOCD -INPUTCHARSET UTF8 -DVERSION=0.9.0
    -DSTAGING=${WORK}/stage -DFILES=${WORK}/files.nsh -DICON=${ICON}
    -DOUTFILE=${WORK}/velmora-0.9.0-setup.exe "${fixtures}/installer-1.0.0.nsi"
    COMMAND_ERROR_IS_FATAL ANY)
