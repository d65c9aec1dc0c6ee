# Makes an installer of an older version for the installer's test: the staged program with
# version 0.9.0 and one more file, obsolete.txt, which installing the newer version over it
# must take away.
# Usage: cmake -DSTAGE= -DWORK= -DICON= -DSOURCE= -P older-setup.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(COPY "${STAGE}/" DESTINATION "${WORK}/stage")
file(WRITE "${WORK}/stage/obsolete.txt" "Shipped by 0.9.0 only.\n")
set(packaging "${SOURCE}/packaging/windows")
execute_process(COMMAND ${CMAKE_COMMAND} -DSTAGING=${WORK}/stage -DOUTPUT=${WORK}/files.nsh
    -P "${packaging}/installer-files.cmake" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND makensis -V2 -NOCD -INPUTCHARSET UTF8 -DVERSION=0.9.0
    -DSTAGING=${WORK}/stage -DFILES=${WORK}/files.nsh -DICON=${ICON}
    -DOUTFILE=${WORK}/velmora-0.9.0-setup.exe "${packaging}/installer.nsi"
    COMMAND_ERROR_IS_FATAL ANY)
