# What `cmake --install` puts beside the library and orvoprint for hosts to
# build against, and the Debian package that CPack makes of it all.
include(CMakePackageConfigHelpers)

set(ORVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvoMPrintExport)
install(EXPORT OrvoMPrintExportTargets
        NAMESPACE OrvoMPrintExport::
        DESTINATION ${ORVO_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/OrvoMPrintExportConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/OrvoMPrintExportConfig.cmake
                              INSTALL_DESTINATION ${ORVO_CMAKE_DIR})
# A new major version is a new SONAME: a host asks for the one it was written for.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvoMPrintExportConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvoMPrintExportConfig.cmake
              ${PROJECT_BINARY_DIR}/OrvoMPrintExportConfigVersion.cmake
        DESTINATION ${ORVO_CMAKE_DIR})

# The pkg-config file finds the prefix from where it lies, so a tree installed
# with `cmake --install --prefix` elsewhere than configured is still right.
set(ORVO_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ORVO_PC_TO_PREFIX /prefix/${ORVO_PC_DIR} /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/orvomprintexport.pc.in
               ${PROJECT_BINARY_DIR}/orvomprintexport.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvomprintexport.pc DESTINATION ${ORVO_PC_DIR})

# One package holds the library, its headers and orvoprint. dpkg-shlibdeps
# reads which SQLite and libpq runtime packages (and which C++ runtime) the
# binaries need, with their least versions.
set(CPACK_PACKAGE_NAME orvomprintexport)
set(CPACK_PACKAGE_VENDOR "OrvoMPrintExport developers")
set(CPACK_PACKAGE_CONTACT "OrvoMPrintExport developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "print templates per user in SQLite or PostgreSQL, served by six automation classes")
set(CPACK_PACKAGE_DESCRIPTION
    "The OrvoMPrintExport shared library with its headers, CMake package and pkg-config file,\nand orvoprint, which creates a template store and calls any member from the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Records the SONAME in the package's shlibs and has dpkg run ldconfig.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
