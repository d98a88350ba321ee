# Installs the two control libraries into a fresh prefix, builds the sample
# program against what was installed there and runs it.
#   cmake -DBUILD_DIR=<build tree> -DSAMPLE_DIR=<sample sources> -DWORK_DIR=<scratch>
#         -DCXX=<compiler> -P BuildSample.cmake
# They take a minute and need the packaging tools: run when asked for with
# TOVIK_PACKAGING_TESTS=1, as .ci/run does.
if(NOT "$ENV{TOVIK_PACKAGING_TESTS}")
    message("SKIPPED: set TOVIK_PACKAGING_TESTS=1 to run the packaging tests")
    return()
endif()
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "${command} failed (${rc}):\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
foreach(component libovgrid1 libovgrid-dev libovnavbar1 libovnavbar-dev)
    run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component ${component})
endforeach()

run(${CMAKE_COMMAND} -S ${SAMPLE_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/sample)
message(STATUS "sample: ${output}")
if(NOT output MATCHES "rows=3 cell=红色 ids=2")
    message(FATAL_ERROR "unexpected output: ${output}")
endif()

# The sample must have used the installed libraries, not the build tree's.
file(GLOB_RECURSE installed ${prefix}/*/libovGrid.so.1)
if(NOT installed)
    message(FATAL_ERROR "libovGrid.so.1 was not installed under ${prefix}")
endif()
