# Compiles the help project with chmcmd and copies the help file to OUTPUT. chmcmd reports a page
# that links to a file it cannot find only as a warning and still succeeds: here any warning or
# error fails the build, so a broken link never reaches the installation.
# Run as: cmake -DCHMCMD=... -DPROJECT=x.hhp -DWORK_DIR=dir -DOUTPUT=file.chm -P CompileHelp.cmake

get_filename_component(name ${PROJECT} NAME_WE)
file(REMOVE ${WORK_DIR}/${name}.chm)
# chmcmd writes the help file into its working folder and reads the pages beside the project.
execute_process(
    COMMAND ${CHMCMD} --html-scan ${PROJECT}
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR output MATCHES "(Warning|Error|error)[: ]" OR NOT EXISTS ${WORK_DIR}/${name}.chm)
    message(FATAL_ERROR "chmcmd could not compile ${PROJECT} cleanly:\n${output}")
endif()
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(COPY_FILE ${WORK_DIR}/${name}.chm ${OUTPUT})
