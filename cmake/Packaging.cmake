# cpack: on Linux the Debian packages tolva (the tool), libtolva1 (the shared library) and
# libtolva-dev (header, archive, pkg-config and CMake files, man page) and, where GStreamer's
# development files were found, gstreamer1.0-tolva (the GStreamer plug-in); in the win32 build the
# plug-in as a zip holding in_tolva.dll and how to install it.
set(CPACK_PACKAGE_NAME tolva)
set(CPACK_PACKAGE_VENDOR TOLVA)
set(CPACK_PACKAGE_CONTACT "TOLVA developers <tolva@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tracker-module player for MOD, S3M, XM, IT, MTM and 669")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    # The plug-in keeps the version its host shows.
    set(CPACK_PACKAGE_FILE_NAME "in_tolva-0.96")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL tool runtime dev)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)

    set(CPACK_DEBIAN_TOOL_PACKAGE_NAME tolva)
    set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION sound)
    set(CPACK_COMPONENT_TOOL_DESCRIPTION
        "tracker-module player for MOD, S3M, XM, IT, MTM and 669\n The command-line tool: plays, renders to WAV, FLAC or raw PCM, and tells the facts\n and lengths of modules.")
    # Opened at run time for playing and for FLAC output, so shlibdeps cannot see them.
    set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libsdl2-2.0-0, libsndfile1")

    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtolva1)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
    set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
        "tracker-module decoding library\n Decodes MOD, MTM, 669, S3M, XM and IT modules to PCM through a C API.")

    set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtolva-dev)
    set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libtolva1 (= ${PROJECT_VERSION})")
    set(CPACK_COMPONENT_DEV_DESCRIPTION
        "tracker-module decoding library (development files)\n The C header, the static library, the pkg-config file, the CMake package and the\n manual page of libtolva.")

    if(TARGET gsttolva)
        list(APPEND CPACK_COMPONENTS_ALL gstreamer)
        set(CPACK_DEBIAN_GSTREAMER_PACKAGE_NAME gstreamer1.0-tolva)
        set(CPACK_DEBIAN_GSTREAMER_PACKAGE_SECTION sound)
        # shlibdeps adds GStreamer's libraries; it finds the library beside it in this build,
        # which it has no package for, so that dependency is named here.
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/api)
        set(CPACK_DEBIAN_GSTREAMER_PACKAGE_DEPENDS "libtolva1 (= ${PROJECT_VERSION})")
        set(CPACK_COMPONENT_GSTREAMER_DESCRIPTION
            "GStreamer plug-in for tracker modules\n The tolvadec element and a typefinder: every GStreamer player (anything on playbin)\n plays MOD (31 and 15 samples), MTM, 669, S3M, XM and IT through libtolva.")
    endif()
endif()
# Packing needs only what is installed, not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
