# `cpack -G DEB` in the build folder makes the Debian package volan-pro_VERSION_ARCH.deb of what
# `cmake --install` installs, in /usr; its run-time dependencies are found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volan-pro)
set(CPACK_PACKAGE_VENDOR "Orb")
set(CPACK_PACKAGE_CONTACT "Volan Pro maintainers <volan-pro@orb.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FTP, FTPS and SFTP plug-in for FileMaker Pro, with a command-line host")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orb.example")
# The long description; CPack puts the summary above it and indents it as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Volan Pro adds Volan_ calculation functions and script steps that move files
between the user's computer and FTP, FTPS and SFTP servers (through libcurl).

This package holds the plug-in for Linux, the host layer it is loaded through,
and volan-host, which loads the plug-in and evaluates calculations from the
command line, a file or standard input.")
# FTPS servers are verified against the system's certificate authorities.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ca-certificates)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libFMWrapper.so comes with the package: dpkg-shlibdeps finds it through the run path ($ORIGIN).
include(CPack)
