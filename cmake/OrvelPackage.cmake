# The Debian package that scripts/package builds: what `cmake --install` puts under /usr, with the
# shared libraries the programs need found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # orvel_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins that Qt loads by name at run time, which no program links and dpkg-shlibdeps cannot see:
# the window system's platform plugins (without them the viewer cannot open a window) and the
# SVG icon engine that draws the window's icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVEL_HOMEPAGE})
set(ORVEL_MAINTAINER "Orvel maintainers <maintainers@orvel.example.org>" CACHE STRING
    "Maintainer field of the Debian package (a placeholder until the project has a home)")
set(CPACK_PACKAGE_CONTACT ${ORVEL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and quick-analysis tool for micro-CT slice series")
# The long description below the summary; CPack indents its lines as Debian's control files want.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvel shows a numbered series of BMP, TIFF or JPEG slices of one scanned
object in a single window, plays through the stack and measures lengths, grey
values, porosity and object size distributions, and the volume, surface and
surface-to-volume ratio of the material over a range of slices. A cut
re-slices the stack along a line.

orvel-analyze gives the same results on the command line, and orvel-phantom
writes a synthetic dataset to try them on.")
include(CPack)
