# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local    # the programs, their manual pages, the menu
#                                                 # entry, the icons, the copyright and changelog
#   cd build && cpack -G DEB                      # r7260-tool_<version>-<revision>_<arch>.deb
#
# Included at the end of the top-level CMakeLists.txt, once every target is defined.

include(GNUInstallDirs)

# The programs.
install(TARGETS r7260-tool r7260-cli r7260-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages, made at build time by help2man from each program's own --help and --version, so
# they never disagree with the programs.
find_program(R7260_HELP2MAN help2man)
if(NOT R7260_HELP2MAN)
    message(FATAL_ERROR "help2man not found: the manual pages are made with it "
                        "(scripts/install-deps.sh installs it)")
endif()
set(R7260_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${R7260_MAN_DIR})
set(R7260_MAN_PAGES)
# The name as typed, not the build folder's path, must show in the pages' usage lines: the
# programs run from PATH. Without a display, so that no desktop session (or a stale DISPLAY)
# changes what r7260-tool prints.
function(r7260_man_page program summary)
    set(page ${R7260_MAN_DIR}/${program}.1)
    # r7260-sim has no --version: its version is given here.
    set(version_args)
    if(program STREQUAL "r7260-sim")
        set(version_args "--version-string=${PROJECT_VERSION}")
    endif()
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                --unset=QT_QPA_PLATFORM "PATH=$<TARGET_FILE_DIR:${program}>:/usr/bin:/bin"
                ${R7260_HELP2MAN} --no-info --name=${summary} ${version_args}
                --output=${page} ${program}
        COMMAND gzip -9nf ${page}
        DEPENDS ${program}
        COMMENT "Manual page for ${program}"
        VERBATIM)
    set(R7260_MAN_PAGES ${R7260_MAN_PAGES} ${page}.gz PARENT_SCOPE)
endfunction()
r7260_man_page(r7260-tool "commissioning tool for the R7260S stepper-motor driver")
r7260_man_page(r7260-cli "send R7260S stepper-motor driver commands from a shell")
r7260_man_page(r7260-sim "virtual R7260S stepper-motor controller on a pseudo-terminal")
add_custom_target(man_pages ALL DEPENDS ${R7260_MAN_PAGES})
install(FILES ${R7260_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence in Debian's machine-readable form, and the package's changelog, compressed as
# Debian policy asks (-n: no name or time stamp in the file, so builds are reproducible).
set(R7260_DEBIAN_REVISION 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog R7260_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT R7260_CHANGELOG_TOP MATCHES "^r7260-tool \\(${PROJECT_VERSION}-${R7260_DEBIAN_REVISION}\\)")
    message(FATAL_ERROR "packaging/changelog's first entry is not version "
                        "${PROJECT_VERSION}-${R7260_DEBIAN_REVISION}: add an entry for it")
endif()
set(R7260_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.Debian)
add_custom_command(OUTPUT ${R7260_CHANGELOG}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${R7260_CHANGELOG}
    COMMAND gzip -9nf ${R7260_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${R7260_CHANGELOG}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${R7260_CHANGELOG}.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# What lintian says of the package that does not apply to it, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME r7260-tool)

# The desktop menu entry and its icon (packaging/make-icons.cpp draws the PNGs).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/r7260-tool.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME r7260-tool.png)
endforeach()

# The Debian package: cpack -G DEB in a Release build folder. dpkg-shlibdeps (dpkg-dev) works out
# the Qt 6 runtime packages from the programs themselves; it needs the file utility too.
set(R7260_PACKAGE_MAINTAINER "R7260 tool developers <r7260-tool@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME r7260-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "R7260 tool developers")
set(CPACK_PACKAGE_CONTACT "${R7260_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "commissioning tool for the R7260S stepper-motor driver")
set(CPACK_PACKAGE_DESCRIPTION [=[
Tools for commissioning and testing the R7260S stepper-motor driver and
motion controller over an RS-232/RS-485 line. The package holds three
programs:

r7260-tool, the desktop tool: every button sends one device request (RTU
with CRC-16, or ASCII with LRC); every byte sent and received is shown,
replies are decoded into values and lamps, frames can be crafted by hand,
requests mapped onto standard Modbus registers, and command lists played
back from files in a loop.

r7260-cli, the command-line tool: sends the device's commands and plays
command lists from a shell or a script, with the same checks and reply
reading as the window.

r7260-sim, a virtual R7260S on a pseudo-terminal, to try both without
hardware.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${R7260_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${R7260_DEBIAN_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so dpkg-shlibdeps cannot see them: without
# qt6-qpa-plugins (only a Recommends of libqt6gui6) the window cannot open on X11 or Wayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The window's captions are Chinese; without a CJK font they show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
