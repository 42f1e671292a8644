# Installs Varnelle as a desktop application (program, menu entry, AppStream
# metadata, icons, anthem, licences) and packages it as a Debian .deb.
include(GNUInstallDirs)

set(VARNELLE_APP_ID fr.varnelle.varnelle)
# The program looks for its anthem in its working directory only; the menu
# entry starts it in this directory, which holds the anthem.
set(VARNELLE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/varnelle")
# Debian expects a package's documents under the package's own name.
set(VARNELLE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/varnelle")

install(TARGETS varnelle RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(FILES assets/sound/Marseillaise.wav DESTINATION "${VARNELLE_INSTALL_DATADIR}")

# The entry's Path= must name the data directory where it ends up, which only
# the install step knows: `cmake --install --prefix` and CPack both choose the
# prefix after configuration.
set(VARNELLE_DESKTOP_FILE "${PROJECT_BINARY_DIR}/packaging/${VARNELLE_APP_ID}.desktop")
install(CODE "
    set(VARNELLE_DATA_DIR \"${VARNELLE_INSTALL_DATADIR}\")
    if(NOT IS_ABSOLUTE \"\${VARNELLE_DATA_DIR}\")
        set(VARNELLE_DATA_DIR \"\${CMAKE_INSTALL_PREFIX}/\${VARNELLE_DATA_DIR}\")
    endif()
    configure_file(\"${PROJECT_SOURCE_DIR}/packaging/${VARNELLE_APP_ID}.desktop.in\"
        \"${VARNELLE_DESKTOP_FILE}\" @ONLY)
")
install(FILES "${VARNELLE_DESKTOP_FILE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "packaging/${VARNELLE_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

foreach(size 16 32 48 64 128 256)
    install(FILES "assets/icons/varnelle-${size}.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME "${VARNELLE_APP_ID}.png")
endforeach()

install(FILES LICENSE assets/NOTICE DESTINATION "${VARNELLE_INSTALL_DOCDIR}")
install(DIRECTORY assets/licenses DESTINATION "${VARNELLE_INSTALL_DOCDIR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnelle)
set(CPACK_PACKAGE_VENDOR "The Varnelle developers")
# The project holds no domain: the maintainer address, which the format
# requires, is under example.org, reserved for examples, and the package names
# no homepage, which it allows.
set(CPACK_PACKAGE_CONTACT "The Varnelle developers <maintainers@varnelle.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "geography quiz on the map of France for children")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnelle asks a child to find, on a relief map of France that bears no names,
the seven neighbouring countries, four seas, five rivers, six summits and
thirty-two cities, by clicking the small box that lies on each place. Every
wrong click is counted, a map of the cities can be revised before the city
questions, and a session without a single error ends on a winner's cup while
La Marseillaise plays. The program is in French.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program loads libcanberra itself when the anthem first plays, so no
# link records it for dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcanberra0")
# What dpkg-shlibdeps cannot see, because nothing links it: libcanberra plays
# through its PulseAudio back end, which it loads at run time; Qt loads its
# Wayland platform plugin the same way; the freedesktop sound theme holds the
# sound played when the anthem cannot be.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra-pulse, qt6-wayland, sound-theme-freedesktop")
include(CPack)
