# Builds every factory scene script into ${PROJECT_BINARY_DIR}/Scenes/<name>.fxp.
# A script names itself in its header:
#   # name: First Light                 the program name and the file name
#   # description: ...                  one line for the guide and the README
#   # tempo: 100                        the tempo it is written for
#   # scale: Major Pentatonic           a file of resources/package/Scales (optional)
#   # accents: 150,70,100,...           accent levels of sequencer steps 1, 2, ... (optional)
file(GLOB factory_scene_scripts CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/scenes/factory/*.script")
set(factory_scene_files)
set(scene_dir "${PROJECT_BINARY_DIR}/Scenes")
set(scene_base_dir "${CMAKE_CURRENT_BINARY_DIR}/scene-base")
foreach(script IN LISTS factory_scene_scripts)
  get_filename_component(stem "${script}" NAME_WE)
  file(STRINGS "${script}" header REGEX "^# (name|scale|accents): ")
  set(name "")
  set(scale "")
  set(accents "")
  foreach(line IN LISTS header)
    if(line MATCHES "^# name: (.+)$")
      set(name "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^# scale: (.+)$")
      set(scale "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^# accents: (.+)$")
      set(accents "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(name STREQUAL "")
    message(FATAL_ERROR "${script}: no '# name:' line")
  endif()
  set(base "${scene_base_dir}/${stem}.chunk")
  set(fxp "${scene_dir}/${name}.fxp")
  set(base_args --chunk-out "${base}")
  set(base_depends)
  if(NOT scale STREQUAL "")
    set(scale_file "${PROJECT_SOURCE_DIR}/resources/package/Scales/${scale}.txt")
    if(NOT EXISTS "${scale_file}")
      message(FATAL_ERROR "${script}: no scale file '${scale_file}'")
    endif()
    list(APPEND base_args --scale "${scale_file}")
    list(APPEND base_depends "${scale_file}")
  endif()
  if(NOT accents STREQUAL "")
    list(APPEND base_args --accents "${accents}")
  endif()
  add_custom_command(
    OUTPUT "${fxp}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${scene_dir}" "${scene_base_dir}"
    COMMAND tarvo-scene-base ${base_args}
    COMMAND tarvo-host play $<TARGET_FILE:Tarvo3> --chunk-in "${base}" --script "${script}" --at "0 stop"
            --blocks 1 --fxp-out "${fxp}" --fxp-name "${name}" > "${scene_base_dir}/${stem}.json"
    DEPENDS "${script}" ${base_depends} tarvo-scene-base tarvo-host Tarvo3
    COMMENT "Factory scene ${name}"
    VERBATIM)
  list(APPEND factory_scene_files "${fxp}")
endforeach()
add_custom_target(factory_scenes ALL DEPENDS ${factory_scene_files})
