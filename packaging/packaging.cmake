# Installation of the desktop entry and the icon, and the Debian package
# (cpack in a build configured with -DSORVIX_TESTS=OFF; see ./sorvix.sh package).
include(GNUInstallDirs)

if(SORVIX_GUI)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/sorvix.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/sorvix.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The user manual that ﾍﾙﾌﾟ and F1 open.
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DATADIR}/sorvix/manual)
  # A 256x256 PNG beside the SVG for menus that do not draw SVG icons, when
  # rsvg-convert is there to render it.
  find_program(SORVIX_RSVG_CONVERT rsvg-convert)
  if(SORVIX_RSVG_CONVERT)
    set(sorvix_icon_png ${CMAKE_BINARY_DIR}/packaging/256x256/sorvix.png)
    add_custom_command(
      OUTPUT ${sorvix_icon_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/256x256
      COMMAND ${SORVIX_RSVG_CONVERT} -w 256 -h 256 -o ${sorvix_icon_png}
              ${CMAKE_SOURCE_DIR}/packaging/sorvix.svg
      DEPENDS ${CMAKE_SOURCE_DIR}/packaging/sorvix.svg
      COMMENT "Rendering the 256x256 icon")
    add_custom_target(sorvix_icon_png ALL DEPENDS ${sorvix_icon_png})
    install(FILES ${sorvix_icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
  else()
    message(STATUS "rsvg-convert not found: installing the SVG icon only")
  endif()
endif()

if(SORVIX_TESTS)
  # Installs into a DESTDIR and checks the programs, the desktop entry, the
  # icon and where an installed program keeps its data.
  add_test(NAME packaging_install
           COMMAND bash ${CMAKE_SOURCE_DIR}/packaging/check-install.sh ${CMAKE_BINARY_DIR}
                   $<IF:$<BOOL:${SORVIX_GUI}>,gui,nogui>)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvix)
set(CPACK_PACKAGE_VENDOR "Sorvix developers")
set(CPACK_PACKAGE_CONTACT "Sorvix developers <dev@sorvix.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "study JRA horse races by signs")
# CPack puts the summary in front and indents the lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sorvix keeps JV-Data records (the fixed-width Shift_JIS records of the
JRA-VAN Data Lab. service) in its own folder tree and shows race cards, sign
tables, sign indices, estimated ability, betting combinations with payouts,
results, a hit report and three printed race-card layouts.

The package holds the desktop application (sorvix), the same core without a
display (sorvix-cli), a synthetic JV-Data feed generator (sorvix-feedgen) and
the Windows exporter that fills the feed folder from JV-Link
(/usr/share/sorvix/windows/sorvix-jvdump.exe, 32-bit, and
sorvix-jvdump64.exe, 64-bit).
Installed, Sorvix keeps its data under ~/.local/share/sorvix (with the
feed folder JVLink in it) unless --home or SORVIX_HOME names another folder.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sorvix developers <dev@sorvix.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The library dependencies come from dpkg-shlibdeps; the race cards and their
# prints are set in IPA Gothic, which no library pulls in; Qt's own dialogs
# (Yes/No, file and folder choosers) speak Japanese from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
