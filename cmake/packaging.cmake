# The Debian package made by `cpack`: the game and the runner in /usr/games, their manual pages,
# the sounds, the desktop files, the licence and the changelog. Library dependencies are worked
# out by dpkg-shlibdeps from the programs.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volarin
        RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volarin
        RENAME changelog)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volarin)
set(CPACK_PACKAGE_VENDOR "The Volarin developers")
# volarin.org is the project's own domain; the address is where bug reports go.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Volarin developers <developers@volarin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing game: shoot down falling characters by typing them")
set(CPACK_PACKAGE_DESCRIPTION "Characters fall as missiles; typing one launches an interceptor at it.
A missile that reaches the ground, or the tenth mistyped key, ends the game.
Letters, digits, symbols and katakana, five levels, and a scenario runner
that replays games headlessly.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# The revision CHANGELOG's top entry names: volarin_<version>-<revision>_<arch>.deb.
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VOLARIN_PACKAGE_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Out of dpkg-shlibdeps' sight: Qt's plugin that opens a window on X, which libqt6gui6 only
# recommends, and a Japanese face, without which the menus are rows of boxes (any of the usual
# ones draws them; the first is the smallest that matches the recommended serif). The serif
# faces the glyphs are drawn in stay recommended: without them any installed serif face is used.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-ipaexfont-gothic \
| fonts-vlgothic | fonts-takao-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, fonts-ipafont-mincho")
# cpack's own stripping keeps the .comment and .note sections; the staged files are stripped,
# the manual pages and changelog compressed and the lintian overrides added, as Debian's tools
# do it.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian-files.cmake)
set(CPACK_VOLARIN_STRIP ${CMAKE_STRIP})
set(CPACK_VOLARIN_LINTIAN_OVERRIDES ${PROJECT_SOURCE_DIR}/resources/debian/lintian-overrides)
include(CPack)
