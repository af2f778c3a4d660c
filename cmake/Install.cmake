# Installing: `cmake --install <build> --prefix <prefix>` and the Debian package (`cpack -G DEB`).
#
#   <prefix>/bin/                  qelbat, regsvr, trovanta-host
#   <prefix>/lib/trovanta/         the server libraries, the add-in library and what they share
#   <prefix>/share/trovanta/       the installation folder ("InstallDir"): help, examples
#
# Programs find the libraries through their run path, relative to where they lie, so that an
# installation works in any prefix and can be moved as a whole.

set(_programs qelbat regsvr trovanta-host)
set(_libraries trovanta_com trovanta_outlook trovanta_qelutils QELaddin uxtheme)
foreach(target IN LISTS _programs)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${TROVANTA_INSTALL_LIBDIR}")
    install(TARGETS ${target} RUNTIME DESTINATION bin)
  endif()
endforeach()
foreach(target IN LISTS _libraries)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${target} LIBRARY DESTINATION ${TROVANTA_INSTALL_LIBDIR})
  endif()
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/examples/export-and-save.qef DESTINATION ${TROVANTA_INSTALL_DATADIR}/examples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/Maildir DESTINATION ${TROVANTA_INSTALL_DATADIR}/examples)
# The help pages, where the build has them; the folder may not exist.
set(TROVANTA_HELP_DIR ${CMAKE_SOURCE_DIR}/help CACHE PATH "Folder of the help pages that are installed")
install(DIRECTORY ${TROVANTA_HELP_DIR}/ DESTINATION ${TROVANTA_INSTALL_DATADIR}/help OPTIONAL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trovanta)
set(CPACK_PACKAGE_VENDOR "VONT-Software")
set(CPACK_PACKAGE_CONTACT "VONT-Software <trovanta@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Processes e-mails of Maildir stores: export, save attachments, rules")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
find_program(TROVANTA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TROVANTA_DPKG_SHLIBDEPS)
  # The package's own libraries are found through the programs' run path.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
endif()
include(CPack)
