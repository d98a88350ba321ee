# Installing a control library so that other programs can use it:
#   find_package(ovGrid 1.0 REQUIRED)
#   target_link_libraries(app PRIVATE ovGrid::ovGrid)
# and a thin Qt Designer plugin that puts the control in Designer's widget box.
include(CMakePackageConfigHelpers)

set(OV_CONTROL_PACKAGE_DIR ${CMAKE_CURRENT_LIST_DIR})

# ov_control_components(<target> <runtime var> <development var>)
# The install components of a control are named as Debian names the packages
# built from them: the runtime after the soname (libovGrid.so.1: libovgrid1),
# the development files after the library (libovgrid-dev).
function(ov_control_components target runtime development)
    string(TOLOWER "lib${target}" base)
    get_target_property(soversion ${target} SOVERSION)
    set(${runtime} ${base}${soversion} PARENT_SCOPE)
    set(${development} ${base}-dev PARENT_SCOPE)
endfunction()

# ov_install_control(<target> HEADERS <public headers...> QT_COMPONENTS <Qt6 components...>)
# The shared library in the runtime component; its headers (with the
# generated export header), its .so link and its CMake package files in the
# development component.
function(ov_install_control target)
    cmake_parse_arguments(C "" "" "HEADERS;QT_COMPONENTS" ${ARGN})
    add_library(${target}::${target} ALIAS ${target})
    set(cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/${target})
    ov_control_components(${target} runtime development)

    install(TARGETS ${target} EXPORT ${target}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT ${runtime} NAMELINK_COMPONENT ${development})
    install(FILES ${C_HEADERS}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${target} COMPONENT ${development})
    install(EXPORT ${target}Targets NAMESPACE ${target}::
        DESTINATION ${cmakedir} COMPONENT ${development})

    set(OV_CONTROL ${target})
    string(REPLACE ";" " " OV_QT_COMPONENTS "${C_QT_COMPONENTS}")
    configure_package_config_file(${OV_CONTROL_PACKAGE_DIR}/ControlConfig.cmake.in
        ${CMAKE_CURRENT_BINARY_DIR}/${target}Config.cmake
        INSTALL_DESTINATION ${cmakedir})
    get_target_property(version ${target} VERSION)
    write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/${target}ConfigVersion.cmake
        VERSION ${version} COMPATIBILITY SameMajorVersion)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${target}Config.cmake
                  ${CMAKE_CURRENT_BINARY_DIR}/${target}ConfigVersion.cmake
        DESTINATION ${cmakedir} COMPONENT ${development})
endfunction()

# ov_add_designer_plugin(<control target> <plugin target> <sources...>)
# Built only when Designer's development files (qt6-tools-dev) are there. The
# plugin goes where Qt's own Designer looks, with the control's development
# files (whoever designs forms with the control builds against it too); the
# program never loads it.
# The plugins share one base class, controls/designer/ControlPlugin.
set(OV_CONTROLS_DIR ${CMAKE_CURRENT_LIST_DIR})
function(ov_add_designer_plugin control plugin)
    find_package(Qt6 QUIET COMPONENTS UiPlugin)
    if(NOT TARGET Qt6::UiPlugin)
        return()
    endif()
    add_library(${plugin} MODULE ${ARGN}
        ${OV_CONTROLS_DIR}/designer/ControlPlugin.h ${OV_CONTROLS_DIR}/designer/ControlPlugin.cpp)
    target_include_directories(${plugin} PRIVATE ${OV_CONTROLS_DIR}/designer)
    target_link_libraries(${plugin} PRIVATE ${control} Qt6::UiPlugin)
    set(plugindir ${QT6_INSTALL_PLUGINS}/designer)
    set_target_properties(${plugin} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib/designer)
    if(CMAKE_INSTALL_RPATH)
        file(RELATIVE_PATH tolib /${plugindir} /${CMAKE_INSTALL_LIBDIR})
        set_target_properties(${plugin} PROPERTIES INSTALL_RPATH "$ORIGIN/${tolib}")
    endif()
    ov_control_components(${control} runtime development)
    install(TARGETS ${plugin} LIBRARY DESTINATION ${plugindir} COMPONENT ${development})
endfunction()
