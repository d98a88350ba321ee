# Builds the Debian package from the build tree and checks what it holds.
#   cmake -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch> -P CheckDeb.cmake
find_program(DPKG_DEB dpkg-deb)
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
find_program(CPACK cpack HINTS ${cmake_bin})
if(NOT DPKG_DEB OR NOT CPACK)
    message("SKIPPED: cpack or dpkg-deb is missing")
    return()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${out}\n${err}")
endif()
file(GLOB debs ${WORK_DIR}/tovik_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one tovik_*.deb in ${WORK_DIR}, found: ${debs}")
endif()

execute_process(COMMAND ${DPKG_DEB} -c ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
execute_process(COMMAND ${DPKG_DEB} -f ${debs} Depends OUTPUT_VARIABLE depends)
message(STATUS "Depends: ${depends}")
set(expected
    "./usr/bin/tovik"
    "/libovGrid.so.1"
    "/libovnavbar.so.1"
    "./usr/include/ovGrid/OVGrid.h"
    "./usr/include/ovGrid/ovgrid_export.h"
    "./usr/include/ovnavbar/OVNavigationBar.h"
    "/cmake/ovGrid/ovGridConfig.cmake"
    "/cmake/ovnavbar/ovnavbarTargets.cmake"
    "./usr/share/tovik/Tovik.xltx"
    "./usr/share/applications/tovik.desktop"
    "./usr/share/icons/hicolor/scalable/apps/tovik.svg")
foreach(path IN LISTS expected)
    string(FIND "${contents}" "${path}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${path} is not in the package:\n${contents}")
    endif()
endforeach()
# Nothing of the tests or the benchmarks goes out.
if(contents MATCHES "tst_|bench_|griddemo")
    message(FATAL_ERROR "test or benchmark files in the package:\n${contents}")
endif()
foreach(dependency libqt6sql6-sqlite libqt6widgets6)
    string(FIND "${depends}" "${dependency}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package does not depend on ${dependency}: ${depends}")
    endif()
endforeach()
