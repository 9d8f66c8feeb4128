# SPDX-License-Identifier: MIT
# What `cmake --install` puts where, the uninstall target and the Debian
# package. Included from the top-level CMakeLists.txt.
#
# The game goes to bin/, not games/: GNUInstallDirs has no games folder, and
# bin/ is on every user's (and root's) PATH on every distribution. Debian's
# own rule for its packages is /usr/games: the package moves it there
# (DebianLayout.cmake); the data is ../share/korvalend3d from either.
set(KORVALEND_APP_ID org.korvalend.korvalend3d)
set(KORVALEND_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/korvalend3d)
set(PKG_SRC ${CMAKE_SOURCE_DIR}/packaging)
# Installing and packaging take what is built; the Makefile builds the
# game, its data and the manual page first, so neither waits for the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(PKG_OUT ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS korvalend3d RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The generated data; `sounds` is the second spelling the beat samples use.
install(DIRECTORY ${CMAKE_BINARY_DIR}/Models ${CMAKE_BINARY_DIR}/Images
                  ${CMAKE_BINARY_DIR}/Sounds ${CMAKE_BINARY_DIR}/Music
        DESTINATION ${KORVALEND_DATADIR})
file(MAKE_DIRECTORY ${PKG_OUT})
file(CREATE_LINK Sounds ${PKG_OUT}/sounds SYMBOLIC)
install(FILES ${PKG_OUT}/sounds DESTINATION ${KORVALEND_DATADIR})

foreach(size 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/korvalend3d.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${KORVALEND_APP_ID}.png)
endforeach()
install(FILES ${PKG_SRC}/korvalend3d.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
        RENAME ${KORVALEND_APP_ID}.desktop)
install(FILES ${PKG_SRC}/korvalend3d.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
        RENAME ${KORVALEND_APP_ID}.metainfo.xml)

# The manual page and the changelog, compressed as Debian wants them (no
# time stamp, so every build gives the same bytes). The page names the data
# folder of this prefix.
set(KORVALEND_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/korvalend3d)
configure_file(${PKG_SRC}/korvalend3d.6.in ${PKG_OUT}/korvalend3d.6 @ONLY)
add_custom_command(OUTPUT ${PKG_OUT}/korvalend3d.6.gz ${PKG_OUT}/changelog.gz
  COMMAND gzip -n -9 -c ${PKG_OUT}/korvalend3d.6 > ${PKG_OUT}/korvalend3d.6.gz
  COMMAND gzip -n -9 -c ${PKG_SRC}/changelog > ${PKG_OUT}/changelog.gz
  DEPENDS ${PKG_OUT}/korvalend3d.6 ${PKG_SRC}/changelog)
add_custom_target(manpage ALL DEPENDS ${PKG_OUT}/korvalend3d.6.gz ${PKG_OUT}/changelog.gz)
install(FILES ${PKG_OUT}/korvalend3d.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PKG_SRC}/copyright ${PKG_OUT}/changelog.gz DESTINATION ${KORVALEND_DOCDIR})

# Removes every file the last install wrote, then the game's own folders
# once they are empty. Shared folders (bin, applications, icons) stay.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt -P ${PKG_SRC}/Uninstall.cmake)

# make package: a Debian package of the files above, for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvalend3d)
set(CPACK_PACKAGE_VENDOR "The Korvalend 3D developers")
set(CPACK_PACKAGE_CONTACT "Korvalend 3D developers <korvalend3d@korvalend.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D arcade shooter in a wrapping cube of asteroids")
# The summary becomes the first line; CPack indents these lines and turns the
# empty one into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Korvalend 3D puts one ship in free flight inside a cube of drifting
asteroids that wraps at its faces. Shoot rocks, armoured steel asteroids
and enemy ships; collect prizes, score multipliers, bonuses and extra
ships; dodge novas, gravity wells and homing mines. Waves grow harder,
with a bonus tally between them.

The game is flown with mouse and keyboard from a cockpit, chase or fixed
camera, with music composed for it and sound effects of its own.")
# SDL opens the OpenGL driver at run time, so linking does not reveal it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${PKG_SRC}/DebianLayout.cmake)
include(CPack)
