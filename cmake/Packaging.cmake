# A Debian package of what `cmake --install` puts in place: `cpack` in the build tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvan)
set(CPACK_PACKAGE_VENDOR "Zorvan developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password manager with a Japanese interface")
set(CPACK_PACKAGE_DESCRIPTION "Zorvan keeps account items (name, user ID, password, URL, \
memo and an optional expiry date) in named groups, enciphered under one master password.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY zorvan)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zorvan developers <zorvan@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps (dpkg-dev) names the Qt, X11 and C++ runtime packages the program
# links; the Qt platform plugin for X11 comes with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese glyphs and Qt's own Japanese texts (the standard dialog buttons).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")

include(CPack)
