# Run by cpack after it made the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack writes "ldconfig" into the postinst and postrm of every package that
# holds a shared library; Debian activates the ldconfig trigger instead
# (packaging/triggers). This takes those two scripts out of the library
# packages again, leaving everything else as CPack made it.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(root ${CPACK_TOPLEVEL_DIRECTORY}/finish-deb)
    file(REMOVE_RECURSE ${root})
    execute_process(COMMAND ${DPKG_DEB} --raw-extract ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
    if(NOT EXISTS ${root}/DEBIAN/triggers)
        continue()
    endif()
    foreach(script postinst postrm)
        if(EXISTS ${root}/DEBIAN/${script})
            file(READ ${root}/DEBIAN/${script} text)
            # Only CPack's own script goes: a few lines whose one command is ldconfig.
            string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|ldconfig|fi|[ \t\n]" "" rest "${text}")
            if(NOT rest STREQUAL "")
                message(FATAL_ERROR "${package}: unexpected ${script}:\n${text}")
            endif()
            file(REMOVE ${root}/DEBIAN/${script})
        endif()
    endforeach()
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build ${root} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${root})
endforeach()
