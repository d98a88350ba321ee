# The Debian packages, split as Debian splits a program with libraries:
#   tovik            the program, its data, desktop entry, AppStream data, manual
#   libovgrid1       libovGrid.so.1      (shlibs, ldconfig trigger)
#   libovnavbar1     libovnavbar.so.1
#   libovgrid-dev    headers, .so link, CMake package files, Designer plugin
#   libovnavbar-dev
# CPack makes them from the build tree in seconds; a debian/ folder with
# dpkg-buildpackage would configure and compile everything a second time.
ov_control_components(ovGrid grid_runtime grid_dev)
ov_control_components(ovnavbar navbar_runtime navbar_dev)
set(TOVIK_PACKAGES tovik ${grid_runtime} ${navbar_runtime} ${grid_dev} ${navbar_dev})

# Every package carries the copyright file and the changelog, compressed as
# Debian compresses it (no name or time stamp in the gzip header).
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog_gz}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(tovik_package_docs ALL DEPENDS ${changelog_gz})
foreach(package IN LISTS TOVIK_PACKAGES)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${package})
endforeach()

set(CPACK_PACKAGE_NAME tovik)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_CONTACT "Orvane <tovik@orvane.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.orvane.com/tovik)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${TOVIK_PACKAGES})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Package relations between the components: "libovgrid-dev" depends on
# "libovgrid1 (= 1.0.0)". The program names its libraries this way because
# dpkg-shlibdeps finds their shlibs only once they are installed.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# dpkg-shlibdeps (dpkg-dev) finds the system libraries the binaries link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
# Each library package says which package provides its soname (only the
# two libraries carry one; the Designer plugins are modules without).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_TOVIK_PACKAGE_NAME tovik)
set(CPACK_DEBIAN_TOVIK_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_TOVIK_DEPENDS ${grid_runtime} ${navbar_runtime})
# Qt loads its database driver and window-system plugin at run time, where
# dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_TOVIK_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_TOVIK_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_COMPONENT_TOVIK_DESCRIPTION [=[bills, clients and articles for a textile trader
Tovik keeps tally sheets for a textile trader: one bill per client and
date, whose lines carry an article, up to ten piece weights, their sum in
KG, the unit price, the amount and the number of pieces. Around the bills
it keeps the clients, the articles with Chinese search codes and short
value lists, finds bills by date, client and article, exports the result
to a spreadsheet and prints a bill through a spreadsheet template.]=])

# ov_describe_control(<target> <synopsis> <sentence about the control>)
function(ov_describe_control target what about)
    ov_control_components(${target} runtime development)
    string(TOUPPER ${runtime} RUNTIME)
    string(TOUPPER ${development} DEVELOPMENT)
    set(CPACK_DEBIAN_${RUNTIME}_PACKAGE_NAME ${runtime} PARENT_SCOPE)
    set(CPACK_DEBIAN_${RUNTIME}_PACKAGE_SECTION libs PARENT_SCOPE)
    # The trigger replaces the ldconfig calls that CPack writes into the
    # maintainer scripts (packaging/FinishDeb.cmake removes those).
    set(CPACK_DEBIAN_${RUNTIME}_PACKAGE_CONTROL_EXTRA
        ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/triggers PARENT_SCOPE)
    set(CPACK_COMPONENT_${RUNTIME}_DESCRIPTION
        "${what}\n${about}\n\nThis package holds the shared library." PARENT_SCOPE)
    set(CPACK_DEBIAN_${DEVELOPMENT}_PACKAGE_NAME ${development} PARENT_SCOPE)
    set(CPACK_DEBIAN_${DEVELOPMENT}_PACKAGE_SECTION libdevel PARENT_SCOPE)
    set(CPACK_COMPONENT_${DEVELOPMENT}_DEPENDS ${runtime} PARENT_SCOPE)
    set(CPACK_DEBIAN_${DEVELOPMENT}_PACKAGE_DEPENDS "qt6-base-dev" PARENT_SCOPE)
    set(CPACK_COMPONENT_${DEVELOPMENT}_DESCRIPTION
        "${what} (development files)\n${about}\n\nThis package holds the headers, the CMake package files\n(find_package(${target})) and a plugin that puts the control into\nQt Designer's widget box." PARENT_SCOPE)
endfunction()
ov_describe_control(ovGrid "spreadsheet-like data-entry grid for Qt 6" [=[OVGrid is the entry sheet of Tovik's windows: columns laid out by
specification strings, editors floating over the current cell, row
aggregates, loading from a database query and persisted settings.]=])
ov_describe_control(ovnavbar "record navigation bar for Qt 6" [=[OVNavigationBar steps through a list of record ids with four buttons and
a position label, asking its window before each move.]=])

set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/FinishDeb.cmake)
include(CPack)
