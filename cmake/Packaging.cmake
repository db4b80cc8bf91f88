# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local    # the programs, the menu entry and the icons
#   cd build && cpack -G DEB                      # r7260-tool_<version>_<arch>.deb
#
# Included at the end of the top-level CMakeLists.txt, once every target is defined.

include(GNUInstallDirs)

# The programs.
install(TARGETS r7260-tool r7260-cli r7260-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

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
A desktop tool for commissioning and testing the R7260S stepper-motor
driver and motion controller over an RS-232/RS-485 line. Every button
sends one device request (RTU with CRC-16, or ASCII with LRC); every byte
sent and received is shown, replies are decoded into values and lamps,
frames can be crafted by hand, requests mapped onto standard Modbus
registers, and command lists played back from files in a loop.

The package also holds r7260-sim, a virtual R7260S on a pseudo-terminal,
to try the tool without hardware.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${R7260_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so dpkg-shlibdeps cannot see them: without
# qt6-qpa-plugins (only a Recommends of libqt6gui6) the window cannot open on X11 or Wayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The window's captions are Chinese; without a CJK font they show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
