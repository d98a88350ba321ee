# Builds the Debian packages from the build tree and checks what each holds.
#   cmake -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch> -P CheckDeb.cmake
# They take a minute and need the packaging tools: run when asked for with
# TOVIK_PACKAGING_TESTS=1, as .ci/run does.
if(NOT "$ENV{TOVIK_PACKAGING_TESTS}")
    message("SKIPPED: set TOVIK_PACKAGING_TESTS=1 to run the packaging tests")
    return()
endif()
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
# package: the paths it must hold (a leading "/" matches any folder above)
set(expected_tovik
    "./usr/bin/tovik"
    "./usr/share/tovik/Tovik.xltx"
    "./usr/share/applications/tovik.desktop"
    "./usr/share/metainfo/com.orvane.tovik.metainfo.xml"
    "./usr/share/man/man1/tovik.1.gz"
    "./usr/share/icons/hicolor/scalable/apps/tovik.svg")
set(expected_libovgrid1 "/libovGrid.so.1 -> libovGrid.so.1.0")
set(expected_libovnavbar1 "/libovnavbar.so.1 -> libovnavbar.so.1.0")
set(expected_libovgrid-dev
    "/libovGrid.so -> libovGrid.so.1"
    "./usr/include/ovGrid/OVGrid.h"
    "./usr/include/ovGrid/ovgrid_export.h"
    "/cmake/ovGrid/ovGridConfig.cmake")
set(expected_libovnavbar-dev
    "/libovnavbar.so -> libovnavbar.so.1"
    "./usr/include/ovnavbar/OVNavigationBar.h"
    "/cmake/ovnavbar/ovnavbarTargets.cmake")
# The designer plugins come with the development files where Qt's own
# Designer was found at build time.
if(EXISTS ${BUILD_DIR}/lib/designer/libovGridplugin.so)
    list(APPEND expected_libovgrid-dev "/qt6/plugins/designer/libovGridplugin.so")
    list(APPEND expected_libovnavbar-dev "/qt6/plugins/designer/libovnavbarplugin.so")
endif()
# What must stay out: the other packages' files, tests and benchmarks.
set(unwanted_tovik "\\.so|/include/|tst_|bench_|griddemo")
set(unwanted_libovgrid1 "/include/|/cmake/|\\.so ->|navbar|/bin/")
set(unwanted_libovnavbar1 "/include/|/cmake/|\\.so ->|Grid|/bin/")
set(unwanted_libovgrid-dev "navbar|\\.so\\.1\\.0$|/bin/")
set(unwanted_libovnavbar-dev "Grid|\\.so\\.1\\.0$|/bin/")

foreach(package tovik libovgrid1 libovnavbar1 libovgrid-dev libovnavbar-dev)
    file(GLOB deb ${WORK_DIR}/${package}_*.deb)
    if(NOT deb)
        message(FATAL_ERROR "no ${package}_*.deb in ${WORK_DIR}")
    endif()
    execute_process(COMMAND ${DPKG_DEB} -c ${deb} OUTPUT_VARIABLE contents)
    foreach(path IN LISTS expected_${package}
            ITEMS "./usr/share/doc/${package}/copyright" "./usr/share/doc/${package}/changelog.gz")
        string(FIND "${contents}" "${path}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${path} is not in ${package}:\n${contents}")
        endif()
    endforeach()
    string(REGEX REPLACE "[^\n]* \\./" "./" paths "${contents}")
    string(REPLACE "\n" ";" paths "${paths}")
    foreach(path IN LISTS paths)
        if(path MATCHES "${unwanted_${package}}" AND NOT path MATCHES "/doc/")
            message(FATAL_ERROR "${path} does not belong in ${package}")
        endif()
    endforeach()
    execute_process(COMMAND ${DPKG_DEB} -f ${deb} Depends OUTPUT_VARIABLE depends_${package})
    message(STATUS "${package} Depends: ${depends_${package}}")
endforeach()

# Run-time libraries come from dpkg-shlibdeps; the program and the
# development files name the package of their own libraries exactly.
foreach(pair "tovik:libqt6sql6-sqlite" "tovik:libqt6widgets6" "tovik:libovgrid1 (= 1.0.0)"
             "tovik:libovnavbar1 (= 1.0.0)" "libovgrid1:libqt6widgets6" "libovnavbar1:libc6"
             "libovgrid-dev:libovgrid1 (= 1.0.0)" "libovnavbar-dev:libovnavbar1 (= 1.0.0)")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 package)
    list(GET pair 1 dependency)
    string(FIND "${depends_${package}}" "${dependency}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${package} does not depend on ${dependency}: ${depends_${package}}")
    endif()
endforeach()
