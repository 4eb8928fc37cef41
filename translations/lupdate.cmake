# Runs lupdate over every source folder of the project into TS_FILE.
#
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repository> -DTS_FILE=<file.ts> -DMODE=update|check
#         -P lupdate.cmake
#
# The folders are found when it runs, so folders added by later merges are taken in without a
# change here: every top-level folder with a CMakeLists.txt, less those that show the operator
# nothing. MODE=update drops the texts that left the sources; MODE=check keeps them, marked
# vanished, so that a check of the result sees them.
cmake_minimum_required(VERSION 3.16)

foreach(variable LUPDATE SOURCE_DIR TS_FILE MODE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "lupdate.cmake: ${variable} is not set")
  endif()
endforeach()

set(not_shown tests tools bench packaging translations)
file(GLOB entries LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(folders)
foreach(entry ${entries})
  if(IS_DIRECTORY ${SOURCE_DIR}/${entry} AND EXISTS ${SOURCE_DIR}/${entry}/CMakeLists.txt
     AND NOT entry IN_LIST not_shown)
    list(APPEND folders ${entry})
  endif()
endforeach()
list(SORT folders)

# No source locations: line numbers would change the file with every edit of the sources.
set(options -silent -locations none -extensions cpp,h -source-language zh_CN -target-language en)
if(MODE STREQUAL "update")
  list(APPEND options -no-obsolete)
endif()
execute_process(COMMAND ${LUPDATE} ${options} ${folders} -ts ${TS_FILE}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result})")
endif()
