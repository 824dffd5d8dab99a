# Builds the two Windows packages from the exe, run by the build (cmake -P):
# STAGE, the folder both are made of: the exe, and text files with Windows
# line ends (TEXTS: pairs of source and name within the package); then ZIP of
# the folder's contents, and MSI by wixl from WXS, which names the same files
# relative to the stage, and the icon beside it.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/licenses)
file(COPY ${EXE} DESTINATION ${STAGE})
while(TEXTS)
  list(POP_FRONT TEXTS source name)
  file(READ ${source} text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${STAGE}/${name} "${text}")
endwhile()

file(GLOB contents RELATIVE ${STAGE} ${STAGE}/*)
file(REMOVE ${ZIP} ${MSI})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${contents}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
# wixl warns that the package names no platform: -a x64 gives it. The files
# it names are relative to the stage: wixl takes no absolute paths.
execute_process(COMMAND ${WIXL} --arch x64 --output ${MSI} ${WXS}
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wixl could not build ${MSI}:\n${errors}")
endif()
