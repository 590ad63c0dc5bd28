# The Debian package: `cpack` in the build folder, or tools/dev package. Everything installed goes
# into one package; the libraries it needs come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_VERSION "${VANTREL_PACKAGE_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lock chosen applications behind a master password")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel keeps a person at your unlocked session out of the applications
you choose. It lives in the system tray; from its popover you set a master
password, keep a list of locked applications and switch locking on and off.
A locked application is covered by Vantrel's lock window from the moment its
first window appears until the master password is typed.
.
Vantrel works on X11 desktops with any EWMH window manager, and on Wayland
compositors built on wlroots (sway, labwc, Wayfire, Hyprland).")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane <support@corvane.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrel.corvane.com/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins, which no library links: Qt's Wayland platform, for a Wayland session.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
# The test programs are built but never installed; only what install() names goes in.
include(CPack)
