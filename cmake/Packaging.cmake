# CPack: a Debian package on Linux (scripts/package.sh), a zip of the programs on Windows.
set(CPACK_PACKAGE_NAME tavro)
set(CPACK_PACKAGE_VENDOR "The Tavro Model Viewer developers")
set(CPACK_PACKAGE_CONTACT "Tavro Model Viewer developers <tavro-dev@lists.tavro.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and command-line tool for packed game model archives")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tavro Model Viewer opens a packed game data archive (LINKDATA1.bin with\n"
       "its index LINKDATA1.idx), decompresses and parses its 3D models and texture\n"
       "packs, and shows the models one after another, textured and turning. The\n"
       "tavro command-line tool lists, extracts, converts, inspects and renders what\n"
       "an archive holds, with no display needed.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME TavroModelViewer-${PROJECT_VERSION}-win64)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tavro_VERSION_ARCH.deb
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tavro.org/")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Loaded at run time, so the computed dependencies cannot see them: EGL with Mesa's implementation and
    # its software rasterizer (headless drawing with no graphics processor), and GLX for the window.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libegl1, libegl-mesa0, libgl1-mesa-dri, libgl1, libglx-mesa0")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
