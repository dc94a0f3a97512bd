# Manual pages, notices and the Debian package (cpack -G DEB).
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zelk-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(ZELK_BUILD_GUI)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zelk.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/data/SOURCES.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian looks for the licences of a package in /usr/share/doc/PACKAGE/copyright:
# zelk's own, then where the word lists' licences are.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE _zelk_license)
file(WRITE ${CMAKE_BINARY_DIR}/copyright
    "zelk\n\n${_zelk_license}\n"
    "The common-word lists cwds_*.txt in the program folder (${CMAKE_INSTALL_LIBEXECDIR}/zelk)\n"
    "build on lists under the BSD-3-Clause and MIT licences; their texts are in\n"
    "LICENSES/ beside them and their origin in SOURCES.md.\n")
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
