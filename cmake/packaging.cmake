# The Debian package made by `cpack`: the game, the runner, the sounds, the desktop files and
# the licence. Library dependencies are worked out by dpkg-shlibdeps from the programs.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volarin
        RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volarin)
set(CPACK_PACKAGE_VENDOR "The Volarin developers")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Volarin developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing game: shoot down falling characters by typing them")
set(CPACK_PACKAGE_DESCRIPTION "Characters fall as missiles; typing one launches an interceptor at it.
A missile that reaches the ground, or the tenth mistyped key, ends the game.
Letters, digits, symbols and katakana, five levels, and a scenario runner
that replays games headlessly.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# volarin_2.21_amd64.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The faces the glyphs are drawn in are data, out of dpkg-shlibdeps' sight; without them any
# installed serif face is used.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, fonts-ipafont-mincho")
include(CPack)
