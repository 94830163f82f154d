# The Debian package of the dashboard (cpack -G DEB in the build folder, or
# scripts/package.sh): everything the install() rules put under the prefix
# /usr, the pppd peers file as a configuration file, the udev rule taken in
# by the running udev when it is installed, and the dependencies computed
# from the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)

# "cmake --install" and cpack install what is built; scripts/package.sh builds
# only the targets the package holds, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(EVDO_DEB_DIR ${PROJECT_SOURCE_DIR}/app/install/deb)
set(EVDO_DEB_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/evdo-dashboard)

# The manual pages, compressed as Debian wants them.
set(EVDO_MAN_PAGES evdo-dashboard evdo-data evdo-modemsim)
set(compressed)
foreach(page ${EVDO_MAN_PAGES})
  set(out ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/doc/man/${page}.1 > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/doc/man/${page}.1 VERBATIM)
  list(APPEND compressed ${out})
endforeach()
set(changelog ${CMAKE_BINARY_DIR}/man/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9n -c ${EVDO_DEB_DIR}/changelog > ${changelog}
  DEPENDS ${EVDO_DEB_DIR}/changelog VERBATIM)
add_custom_target(evdo_package_docs ALL DEPENDS ${compressed} ${changelog})
install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${EVDO_DEB_DIR}/copyright ${changelog} DESTINATION ${EVDO_DEB_DOC_DIR})

# The simulated modem lives beside the program ("--simulate" finds it
# there); a link puts it on the PATH for scripts and its manual page.
if(EVDO_BUILD_UI)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
  file(CREATE_LINK ../${EVDO_INSTALL_PROGRAM_DIR}/evdo-modemsim ${CMAKE_BINARY_DIR}/install-links/evdo-modemsim SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/install-links/evdo-modemsim DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME evdo-dashboard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "EVDO Dashboard developers <evdo-dashboard@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dashboard for CDMA2000 EVDO USB modems")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop dashboard for a CDMA2000 EVDO USB modem: it connects the computer\n"
    "to the Internet through the modem (pppd), keeps traffic statistics and usage\n"
    "limits, reads, writes and stores short messages, keeps a phonebook, places\n"
    "voice calls and shows signal, network and roaming state. It comes with a\n"
    "simulated modem (evdo-modemsim) and a tool for its data files (evdo-data).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pppd dials; udev's tools reload the rule.
# Qt finds its display plugin (xcb) at run time: no binary names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ppp, udev, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${EVDO_DEB_DIR}/postinst ${EVDO_DEB_DIR}/postrm ${EVDO_DEB_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
