# The Debian package, built by `cpack` in a release tree (./package does both). One package holds
# the program and the demo: the demo needs nothing the program does not, and lets anyone try the
# window, and see that the install works, without a pedal set.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillfen-settings)
set(CPACK_PACKAGE_VENDOR "The Quillfen developers")
set(CPACK_PACKAGE_CONTACT "The Quillfen developers <developers@quillfen.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings utility for the Quillfen USB sim-racing pedal set")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the settings the pedal set (throttle, brake with a load cell,
clutch) stores, shows each pedal's live travel, sets each pedal's working
range and calibrates it. A service mode edits filter stages, raw limits
and the brake's load constant. The package also holds
quillfen-settings-demo, the same window on a virtual pedal set, and a udev
rule that gives the user at the seat access to the pedal set.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Everything installed by default except the rule for /etc, plus the package's own files.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillfen.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fonts fall back to Liberation Sans, which matches the metrics it was laid out for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/linux/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
