# The Debian package, pravik_VERSION_ARCH.deb: what a shop PC installs with
# apt-get. Its dependencies are read from the programs' own libraries by
# dpkg-shlibdeps, plus the font the text screens are drawn in, which no
# library names.
include(GNUInstallDirs)

# bash-completion loads a program's completion from here the first time the
# program's name is completed.
set(completed_programs pravik-cli netkeel-cli pravikd)
if(PRAVIK_BUILD_SIM)
  list(APPEND completed_programs ledboard-sim netmodule-sim)
endif()
foreach(program IN LISTS completed_programs)
  install(FILES ${PROJECT_SOURCE_DIR}/completions/${program}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endforeach()

# The board service: its systemd unit, and a configuration, fleet and
# schedule to start from, kept as the administrator edits them (conffiles).
# These belong where Debian keeps them whatever the prefix; an install into a
# folder of one's own (cmake --install --prefix DIR) puts them under DIR.
set(PRAVIK_SERVICE_FILES
    ${PROJECT_SOURCE_DIR}/packaging/pravikd.conf
    ${PROJECT_SOURCE_DIR}/packaging/fleet.txt
    ${PROJECT_SOURCE_DIR}/packaging/schedule.txt)
install(CODE "
  # file(INSTALL) puts DESTDIR, where one is given, before these itself.
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(system_root \"\")
  else()
    set(system_root \"\${CMAKE_INSTALL_PREFIX}\")
  endif()
  file(INSTALL \"${PROJECT_SOURCE_DIR}/packaging/pravikd.service\"
       DESTINATION \"\${system_root}/lib/systemd/system\")
  file(INSTALL ${PRAVIK_SERVICE_FILES} DESTINATION \"\${system_root}/etc/pravik\")
")

set(PRAVIK_MAINTAINER "Pravik developers <support@pravik.example>")
set(PRAVIK_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pravik)
# Debian wants a changelog for the version it installs, compressed to the
# maximum and without a time stamp inside, named changelog.gz for a package
# that is its own upstream. The date is when the build was set up (or
# SOURCE_DATE_EPOCH, for a reproducible package).
string(TIMESTAMP PRAVIK_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
               ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
find_program(GZIP_EXECUTABLE gzip)
if(GZIP_EXECUTABLE)
  execute_process(COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${CMAKE_BINARY_DIR}/debian/changelog
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/debian/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${PRAVIK_PACKAGE_DOC_DIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${PRAVIK_PACKAGE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pravik)
set(CPACK_PACKAGE_VENDOR "The Pravik developers")
set(CPACK_PACKAGE_CONTACT "${PRAVIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "LED sign board editor, transmitter, scheduler and setup tools")
set(CPACK_PACKAGE_DESCRIPTION
    "Pravik composes display files for LED sign boards (the board's settings and
up to 239 screens, each a picture or a text with its effects) and sends them to
a board over a serial line or UDP. Netkeel sets up the serial-to-Ethernet
module in front of a board, and Slatepad writes text screens at the board's
size.

The package also holds their terminal tools pravik-cli and netkeel-cli, for
scripts, the simulators ledboard-sim and netmodule-sim, for testing without
the hardware, and pravikd, a systemd service that keeps a fleet of boards
showing what a schedule says, day and night.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The maintainer scripts make the service's user with adduser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
