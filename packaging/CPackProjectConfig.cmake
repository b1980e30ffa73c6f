# Read by cpack before it makes a package.

# The program decides where the user's files live by comparing its own folder
# with the bin directory it was configured for; a package whose prefix differs
# from that would write beside /usr/bin when run by root.
if(CPACK_GENERATOR STREQUAL "DEB"
   AND NOT CPACK_TARNEL_CONFIGURED_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
    message(FATAL_ERROR "This build was configured with CMAKE_INSTALL_PREFIX=${CPACK_TARNEL_CONFIGURED_PREFIX}, "
                        "but the package installs into ${CPACK_PACKAGING_INSTALL_PREFIX}. "
                        "Configure it with -DCMAKE_INSTALL_PREFIX=${CPACK_PACKAGING_INSTALL_PREFIX}.")
endif()
