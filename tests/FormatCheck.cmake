# Fails when a tracked C++ source differs from what clang-format makes of it
# with the tree's .clang-format. Run as: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -DGIT=... -P FormatCheck.cmake
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND ${GIT} ls-files -- "*.cpp" "*.h"
                WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE files RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "git ls-files failed in ${SOURCE_DIR}")
endif()
string(REPLACE "\n" ";" files "${files}")
set(unformatted "")
foreach(file IN LISTS files)
  if(file STREQUAL "")
    continue()
  endif()
  execute_process(COMMAND ${CLANG_FORMAT} --style=file --dry-run --Werror ${file}
                  WORKING_DIRECTORY ${SOURCE_DIR}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    list(APPEND unformatted ${file})
  endif()
endforeach()
list(LENGTH files count)
if(unformatted)
  string(REPLACE ";" "\n  " shown "${unformatted}")
  message(FATAL_ERROR "not formatted with .clang-format (run clang-format -i on them):\n  ${shown}")
endif()
message(STATUS "${count} sources formatted")
