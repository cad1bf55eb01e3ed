# Installation (cmake --install), the desktop entries, the manual page of korventa-cli and the
# Debian package (cpack -G DEB). Paths are relative to the prefix, so an install can be moved.
include(GNUInstallDirs)

set(KORVENTA_APP_ID org.korventa.Zelvaro)
# Date of the release named by project(... VERSION); both go into the AppStream metainfo.
set(KORVENTA_RELEASE_DATE 2026-12-07)
set(KORVENTA_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/korventa)
set(KORVENTA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

foreach(program korventa zelvaro korventa-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The programs read nothing of their own from disk at run time: the schema, the reference data,
# the help guide and the demo registry are built into them. The demo import files are for people
# who want to try the import with the demo database.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/demo/import/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korventa/demo/import)

install(FILES ${KORVENTA_PACKAGING_DIR}/${KORVENTA_APP_ID}.desktop ${KORVENTA_PACKAGING_DIR}/org.korventa.Korventa.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORVENTA_PACKAGING_DIR}/${KORVENTA_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${KORVENTA_PACKAGING_DIR}/${KORVENTA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${KORVENTA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${KORVENTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual page of korventa-cli, made from its --help and --version; Spanish sections come from
# the include file (C.UTF-8 keeps the accents). Without help2man the build goes on without it.
find_program(HELP2MAN_PROGRAM help2man)
find_program(GZIP_PROGRAM gzip)
if(TARGET korventa-cli AND HELP2MAN_PROGRAM AND GZIP_PROGRAM)
  set(man_include ${CMAKE_BINARY_DIR}/packaging/korventa-cli.h2m)
  set(man_page ${CMAKE_BINARY_DIR}/packaging/korventa-cli.1)
  configure_file(${KORVENTA_PACKAGING_DIR}/korventa-cli.h2m.in ${man_include} @ONLY)
  add_custom_command(
    OUTPUT ${man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN_PROGRAM} --locale=C.UTF-8 --no-info --section=1 --include=${man_include} --output=${man_page}
            $<TARGET_FILE:korventa-cli>
    COMMAND ${GZIP_PROGRAM} -n -9 -f ${man_page}
    DEPENDS korventa-cli ${man_include}
    COMMENT "Página de manual de korventa-cli (help2man)"
    VERBATIM)
  add_custom_target(korventa_man ALL DEPENDS ${man_page}.gz)
  install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(TARGET korventa-cli)
  message(STATUS "help2man no está instalado: se compila sin la página de manual de korventa-cli")
endif()

# Debian package korventa_<version>_amd64.deb; dpkg-shlibdeps computes the library dependencies.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korventa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korventa")
set(CPACK_PACKAGE_CONTACT "Korventa <soporte@korventa.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Declaración mensual de planillas (formulario 0601)")
# The summary above is the package's first line; this is the text below it.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Korventa 0601 prepara la declaración mensual de planillas del empleador: ingresos,\n"
    "descuentos y aportaciones de cada persona, bases, casillas, deuda y validación.\n"
    "Incluye el integrador zelvaro, el módulo korventa y la línea de comandos korventa-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The reports ask for Courier New; Liberation Mono stands in for it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
