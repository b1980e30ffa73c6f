# Desktop integration (menu entry, icons, AppStream metadata, manual pages,
# bash completion, package documentation) and the Debian package made by CPack.
#
#   cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF
#   cmake --build build/deb
#   cd build/deb && cpack -G DEB        # tarnel_1.2.0_amd64.deb
#
# (cpack builds the whole tree first unless it was configured with
# -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON; then building the targets tarnel and
# tarnel-cli is enough.)

if(NOT UNIX OR APPLE)
    return()
endif()

# example.org is reserved (RFC 2606) and belongs to no project, so this id claims
# no one's domain.
# The desktop entry, the metainfo and the icons are all named after it.
set(TARNEL_APP_ID "org.example.tarnel")
set(TARNEL_DEB_MAINTAINER "The Tarnel developers <tarnel@example.org>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

set(_tarnel_pkg_src "${PROJECT_SOURCE_DIR}/packaging")
set(_tarnel_pkg_bin "${PROJECT_BINARY_DIR}/packaging")
set(_tarnel_icons "${PROJECT_SOURCE_DIR}/resources/icons")

# Directories made by the install keep the usual 0755 whatever the umask is, as
# the package's directories must.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(FILES "${_tarnel_pkg_src}/${TARNEL_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${_tarnel_pkg_src}/${TARNEL_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${_tarnel_icons}/tarnel.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" RENAME "${TARNEL_APP_ID}.svg")
foreach(size 16 32 48 256)
    install(FILES "${_tarnel_icons}/tarnel-${size}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps" RENAME "${TARNEL_APP_ID}.png")
endforeach()

# The manual pages and the changelog are compressed here, at configure time, so
# that installing and packaging need no build step of their own. "gzip -n"
# leaves out the name and time stamp: the same sources give the same package.
find_program(TARNEL_GZIP gzip REQUIRED)
configure_file("${_tarnel_pkg_src}/changelog.in" "${_tarnel_pkg_bin}/changelog" @ONLY)
foreach(page IN ITEMS tarnel.1 tarnel-cli.1)
    configure_file("${_tarnel_pkg_src}/${page}" "${_tarnel_pkg_bin}/${page}" COPYONLY)
endforeach()
foreach(file IN ITEMS changelog tarnel.1 tarnel-cli.1)
    execute_process(COMMAND "${TARNEL_GZIP}" -9n -c "${_tarnel_pkg_bin}/${file}"
                    OUTPUT_FILE "${_tarnel_pkg_bin}/${file}.gz" RESULT_VARIABLE _tarnel_gzip_result)
    if(NOT _tarnel_gzip_result EQUAL 0)
        message(FATAL_ERROR "Could not compress ${_tarnel_pkg_bin}/${file}")
    endif()
endforeach()
install(FILES "${_tarnel_pkg_bin}/tarnel.1.gz" "${_tarnel_pkg_bin}/tarnel-cli.1.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
# bash-completion loads it the first time tarnel-cli is completed.
install(FILES "${_tarnel_pkg_src}/bash-completion/tarnel-cli"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
# The version has no Debian revision, so this is a native package: its
# changelog is changelog.gz, not changelog.Debian.gz.
install(FILES "${_tarnel_pkg_src}/copyright" "${_tarnel_pkg_bin}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# Values reach CPack exactly as written here: the description keeps its lines.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tarnel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Tarnel developers")
set(CPACK_PACKAGE_CONTACT "${TARNEL_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wake-on-LAN utility that wakes computers at alarm times")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnel switches computers on over the network by sending them the
Wake-on-LAN Magic Packet over UDP. It keeps an address book of computers
and wakes one of them, every marked one at once, or each at its own alarm
times.

It sits in the desktop's notification area, so that its alarms fire while
no window is open, and it can fetch a computer's MAC address with a NetBIOS
node-status query. Its window is in Japanese.

The tarnel-cli command does the same from a shell or a script, without a
display: it lists and wakes the computers of the address book, fetches MAC
addresses, and can wait until the woken computers answer.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_TARNEL_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS "${_tarnel_pkg_src}/StripStagedFiles.cmake")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARNEL_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window lays its texts out for IPA Gothic. Without the Qt translations the
# standard buttons only lose their Japanese captions, hence a recommendation.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The installed program keeps the user's files in ~/.config/tarnel only when it
# runs from the bin directory it was configured for, so a package for /usr must
# come from a build configured with that prefix. CPack checks it.
set(CPACK_TARNEL_CONFIGURED_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE "${_tarnel_pkg_src}/CPackProjectConfig.cmake")

set(CPACK_SOURCE_GENERATOR "TXZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/build-[^/]*/" "/fuzz/corpus-run/")

include(CPack)
