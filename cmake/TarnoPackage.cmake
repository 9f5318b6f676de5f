# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a build tree. Dependencies come from dpkg-shlibdeps,
# binaries are stripped into a separate -dbgsym package, and the fonts come from the system's
# Roboto package (the programs look there when no copy sits beside their resources).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarno)
set(CPACK_PACKAGE_VENDOR "The Tarno developers")
set(CPACK_PACKAGE_CONTACT "The Tarno developers <tarno@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spectrum analyser and Wi-Fi scanner for a USB radio accessory")
# Lines under 80 characters: the control file keeps them as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tarno turns a small USB radio accessory into a 2.4/5 GHz spectrum analyser"
  "with waterfall, an RF power meter drawn like an oscilloscope and a Wi-Fi"
  "access-point scanner that grades the channels. Without an accessory it plays"
  "back recorded packets."
  "."
  "The package also contains tarno-cli, which lists accessories, decodes their"
  "bytes, logs data as CSV and surveys access points without a window.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# CPackDeb strips the binaries itself when it splits their debug symbols into tarno-dbgsym;
# CPACK_STRIP_FILES would strip them first and leave nothing to split.
set(CPACK_STRIP_FILES OFF)
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarno)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-roboto-unhinted)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libgl1-mesa-dri)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# Directories such as /usr and /usr/share belong to the base system, not to this package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
