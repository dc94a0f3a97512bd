# Manual pages, notices and the Debian package (cpack -G DEB).
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zelk-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(ZELK_BUILD_GUI)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zelk.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/data/SOURCES.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian looks for the licence of a package in /usr/share/doc/PACKAGE/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keywords and viewport meta tags for HTML files")
set(CPACK_PACKAGE_DESCRIPTION
    "zelk reads an HTML page, ranks the words of its text by where they stand and\n"
    "composes a keywords meta tag; it checks and inserts viewport and keywords meta\n"
    "tags into one page or a folder of pages. zelk-cli does the same in scripts.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n" ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "zelk developers <zelk@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
# Library dependencies come from dpkg-shlibdeps; what it cannot see is
# named here: Qt finds its platform plugins at run time, and the window
# needs a font on a machine without a desktop.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(ZELK_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
endif()
include(CPack)
