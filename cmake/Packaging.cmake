# cpack: the native tool as a Debian package; the plug-in as a zip holding in_tolva.dll and how to
# install it.
set(CPACK_PACKAGE_NAME tolva)
set(CPACK_PACKAGE_VENDOR TOLVA)
set(CPACK_PACKAGE_CONTACT "TOLVA developers <tolva@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tracker-module player for MOD, S3M, XM, IT, MTM and 669")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "in_tolva-${PROJECT_VERSION}")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION sound)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Opened at run time for playing and for FLAC output, so shlibdeps cannot see them.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libsndfile1")
endif()
# Packing needs only what is installed, not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
