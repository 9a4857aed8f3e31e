# `cmake --install build` and the .deb made by `cpack` (run in build/). The program and the
# files it loads go to <prefix>/lib/quarn/, where it finds them next to itself; <prefix>/bin
# holds links to the two programs a user starts.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
foreach(program quarn qscript)
  file(CREATE_LINK ../${QUARN_INSTALL_DIR}/${program} ${CMAKE_BINARY_DIR}/install-links/${program}
       SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/install-links/${program} DESTINATION bin)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarn)
set(CPACK_PACKAGE_VENDOR "Quarn")
set(CPACK_PACKAGE_CONTACT "Quarn developers <quarn@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive OpenGL demo of animated 3D characters")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Library dependencies from the installed binaries (dpkg-shlibdeps), plus what is loaded at
# run time and so named by no binary: SDL opens libGL, which loads Mesa's drivers.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
