# The installed layout and the Debian package.
#
#   <prefix>/bin/                       rvcps, rvcps-cli, rvsim
#   <prefix>/share/rvcps/               the read-only resources: language files, Model.dat, the
#                                       shipped Settings.ini, help, start-up pictures, default sets
#   <prefix>/share/applications/        the desktop entry
#   <prefix>/share/icons/hicolor/       the icon (SVG, 48, 128 and 256 px)
#   <prefix>/share/metainfo/            the AppStream description
#   <prefix>/share/man/man1/            the manual pages
#   <prefix>/share/bash-completion/     completion of rvcps-cli
#   <prefix>/lib/udev/rules.d/          access to the programming cables
#   <prefix>/share/doc/rvcps/           copyright and changelog
#
# An installed program finds its resources at ../share/rvcps from its own folder; the user's
# Settings.ini is then $XDG_CONFIG_HOME/rvcps/Settings.ini, backups $XDG_DATA_HOME/rvcps/Backups.
#
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DRV_BUILD_TESTS=OFF
#   cmake --build build-release && (cd build-release && cpack -G DEB)

include(GNUInstallDirs)

set(RV_PACKAGING ${CMAKE_SOURCE_DIR}/packaging/linux)
set(RV_APP_ID org.rvcps.rvcps)
set(RV_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/rvcps)
set(RV_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the udev rule for the programming cables goes, below the install prefix")
set(RV_PACKAGE_MAINTAINER "rvcps developers <rvcps@example.org>" CACHE STRING
    "Maintainer field of the Debian package")
# Directories as Debian wants them, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(program rvcps rvcps-cli rvsim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${RV_SHARE_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The default sets are made at build time by rvcps-cli new.
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/ DESTINATION ${RV_SHARE_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        FILES_MATCHING PATTERN "*DefaultSet.dat" PATTERN "Backups" EXCLUDE)

install(FILES ${RV_PACKAGING}/${RV_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RV_PACKAGING}/${RV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${RV_PACKAGING}/icons/rvcps.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
    install(FILES ${RV_PACKAGING}/icons/rvcps-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME rvcps.png)
endforeach()
install(FILES ${RV_PACKAGING}/completion/rvcps-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${RV_PACKAGING}/udev/70-rvcps-cables.rules DESTINATION ${RV_UDEV_RULES_DIR})

# Manual pages and the changelog compressed, as Debian keeps them (-n: no time stamp inside,
# so that the same sources give the same package).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(RV_COMPRESSED)
foreach(page rvcps rvcps-cli rvsim)
    set(out ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E copy ${RV_PACKAGING}/man/${page}.1 ${CMAKE_BINARY_DIR}/packaging/${page}.1
        COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_BINARY_DIR}/packaging/${page}.1
        DEPENDS ${RV_PACKAGING}/man/${page}.1 VERBATIM)
    list(APPEND RV_COMPRESSED ${out})
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(RV_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${RV_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E copy ${RV_PACKAGING}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
    COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${RV_PACKAGING}/changelog VERBATIM)
list(APPEND RV_COMPRESSED ${RV_CHANGELOG_GZ})
add_custom_target(packaging_files ALL DEPENDS ${RV_COMPRESSED})
install(FILES ${RV_CHANGELOG_GZ} ${RV_PACKAGING}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rvcps)

# The Debian package: rvcps_<version>_<arch>.deb, its library dependencies found by
# dpkg-shlibdeps (Qt's X11 and offscreen platforms come with its GUI library).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rvcps)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${RV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming software for RV hand-held two-way radios")
# The body of the description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"rvcps reads the configuration memory of RV-205, RV-305 and RV-385 radios over
a USB-serial programming cable, lets the user edit channels, personalities,
scan lists, keys and the other settings, writes them back with a backup and a
verifying read-back, keeps them in data files and prints them.

The package holds the desktop program (rvcps), a command line for headless
reading, writing and inspecting (rvcps-cli) and a simulated radio on a
pseudo-terminal (rvsim).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RV_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
