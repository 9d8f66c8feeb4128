# SPDX-License-Identifier: MIT
# Run by CPack on the staged files before they are packed: Debian's own rule
# puts games in /usr/games, while `make install` keeps bin/. The data is
# ../share/korvalend3d from either.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT EXISTS "${usr}/bin/korvalend3d")
  message(FATAL_ERROR "Debian layout: no ${usr}/bin/korvalend3d")
endif()
file(MAKE_DIRECTORY "${usr}/games")
file(RENAME "${usr}/bin/korvalend3d" "${usr}/games/korvalend3d")
file(GLOB left "${usr}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${usr}/bin")
endif()
