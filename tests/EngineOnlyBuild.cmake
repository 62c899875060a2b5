# Configures, builds and tests the engine alone (TARVO_ENGINE_ONLY), then
# checks that none of its test programs links the window system, FreeType
# or libpng. Run by CTest as build.engine_only:
#   cmake -DSOURCE_DIR=... -DBINARY_DIR=... -P EngineOnlyBuild.cmake
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_ENGINE_ONLY=ON
    -DTARVO_TESTS=ON -DTARVO_BENCHMARKS=OFF)
run(${CMAKE_COMMAND} --build ${BINARY_DIR} -j 2)
run(${CMAKE_CTEST_COMMAND} --test-dir ${BINARY_DIR} --output-on-failure -j 2)
foreach(program grid_tests notes_tests files_tests)
  if(NOT EXISTS ${BINARY_DIR}/${program})
    message(FATAL_ERROR "${program} was not built")
  endif()
  run(ldd ${BINARY_DIR}/${program})
  if(run_output MATCHES "libX11|libXext|libfreetype|libfontconfig|libpng")
    message(FATAL_ERROR "${program} links what the engine must not need:\n${run_output}")
  endif()
endforeach()
message(STATUS "the engine builds, links and passes its tests on its own")
