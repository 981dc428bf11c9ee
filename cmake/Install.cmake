# Installing Vadazaz: both programs, the desktop entry, the problem file type and the icon in the
# hicolor theme; and a Debian package of the same (cpack, run in the build folder).
include(GNUInstallDirs)

set(vadazaz_programs vadazaz-cpt)
if(TARGET vadazaz)
    list(PREPEND vadazaz_programs vadazaz)
endif()
# Both find their libraries where the system keeps them; no search path of their own.
set_target_properties(${vadazaz_programs} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${vadazaz_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/data/vadazaz.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Problem files (*.vadazaz) open with the program from a file manager.
install(FILES ${PROJECT_SOURCE_DIR}/data/vadazaz-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vadazaz.xml)
set(vadazaz_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vadazaz.svg DESTINATION ${vadazaz_icons}/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/vadazaz-${size}.png
        DESTINATION ${vadazaz_icons}/${size}x${size}/apps RENAME vadazaz.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vadazaz)
set(CPACK_PACKAGE_VENDOR "The Vadazaz developers")
set(CPACK_PACKAGE_CONTACT "The Vadazaz developers <developers@vadazaz.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Derives conditional probability tables from elicited probability tables")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vadazaz asks an expert for a small elicited probability table (EPT) instead of every row of "
    "a child variable's conditional probability table (CPT), derives the whole CPT from it by "
    "interpolation and saves it as a text file. The package holds the desktop program, vadazaz, "
    "and the command-line calculator, vadazaz-cpt.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# dpkg-shlibdeps names the libraries the programs link; without it, the Qt libraries by name.
find_program(VADAZAZ_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VADAZAZ_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4)")
endif()
include(CPack)
