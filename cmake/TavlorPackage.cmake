# The Debian package of the program: cpack -G DEB in a build folder (scripts/package).
# It holds what `cmake --install` installs, under /usr. Its dependencies are
# those of the shared libraries the program links, found by dpkg-shlibdeps
# (the X11 platform plugin Qt loads at start comes with libqt6gui6), and
# Qt's French translations.

set(TAVLOR_PACKAGE_MAINTAINER "Tavlor <tavlor@example.org>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlor)
set(CPACK_PACKAGE_VENDOR Tavlor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Carom-billiards competitions of a federation, at the club table")
# The long description, in lines of Debian's width.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tavlor downloads a competition (phases, pools, registered players,"
    "matches) from the federation's web server, shows it as a tree, computes"
    "statistics and rankings weighted by the coefficients of the billiard"
    "tables, lets an identified user change pools and matches on the server,"
    "keeps local snapshots and exports what is shown to an Excel 97-2003"
    "workbook or an HTML page. Its texts are French.")
set(CPACK_PACKAGE_CONTACT "${TAVLOR_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVLOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in French (the buttons of the boxes, the file dialogs, the
# calendar), loaded at start; the shared libraries' packages are added to it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# xdg-mime and xdg-open: an export opens with the application the desktop associates with it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

include(CPack)
