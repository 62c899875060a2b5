# Writes a C++ source that holds the bytes of every PNG named in a resource
# script, under the ids the script gives them, so that the Linux build finds
# the same images by the same ids as the Windows resources.
#
#   cmake -DRESOURCE_SCRIPT=<Tarvo.rc> -DOUTPUT=<file.cpp> -P EmbedPngResources.cmake
#
# Paths in the script are relative to the script's folder, as for windres.

cmake_minimum_required(VERSION 3.20)

if(NOT RESOURCE_SCRIPT OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedPngResources: RESOURCE_SCRIPT and OUTPUT are required")
endif()

get_filename_component(script_dir "${RESOURCE_SCRIPT}" DIRECTORY)
file(STRINGS "${RESOURCE_SCRIPT}" lines REGEX "^[0-9]+[ \t]+PNG[ \t]+\"[^\"]+\"")

# CMake's regular expressions have no counted repetition.
string(REPEAT "0x..," 24 row_pattern)

set(arrays "")
set(table "")
set(seen_ids "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([0-9]+)[ \t]+PNG[ \t]+\"([^\"]+)\".*$" "\\1" id "${line}")
  string(REGEX REPLACE "^([0-9]+)[ \t]+PNG[ \t]+\"([^\"]+)\".*$" "\\2" name "${line}")
  if(id IN_LIST seen_ids)
    message(FATAL_ERROR "EmbedPngResources: id ${id} appears twice in ${RESOURCE_SCRIPT}")
  endif()
  list(APPEND seen_ids "${id}")
  set(path "${script_dir}/${name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "EmbedPngResources: ${path} (id ${id}) does not exist")
  endif()
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  if(size EQUAL 0)
    message(FATAL_ERROR "EmbedPngResources: ${path} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${row_pattern})" "\\1\n  " bytes "${bytes}")
  string(APPEND arrays "// ${name}\nconst unsigned char IMAGE_${id}[${size}] = {\n  ${bytes}\n};\n\n")
  string(APPEND table "  {${id}, IMAGE_${id}, sizeof(IMAGE_${id})},\n")
endforeach()

list(LENGTH seen_ids count)
if(count EQUAL 0)
  message(FATAL_ERROR "EmbedPngResources: ${RESOURCE_SCRIPT} names no PNG resources")
endif()

set(content "// Generated from ${RESOURCE_SCRIPT} by EmbedPngResources.cmake; do not edit.\n\n")
string(APPEND content "#include \"resources/PngResourceTable.h\"\n\nnamespace\n{\n${arrays}}\n\n")
string(APPEND content "const PngResourceEntry PNG_RESOURCES[] = {\n${table}};\n\n")
string(APPEND content "const size_t NUM_PNG_RESOURCES = sizeof(PNG_RESOURCES) / sizeof(PNG_RESOURCES[0]);\n")

# Rewriting an unchanged file would recompile the table on every image edit
# that leaves the bytes alone (a regenerated but identical PNG, for one).
file(WRITE "${OUTPUT}.tmp" "${content}")
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
