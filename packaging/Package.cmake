# What an installed copy holds, and the Debian package CPack makes of it.
include(GNUInstallDirs)

install(TARGETS brovanta-app RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/brovanta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/brovanta.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/hicolor/brovanta-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME brovanta.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/hicolor/brovanta.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants the changelog and the manual page compressed at maximum, without a timestamp.
foreach(name changelog brovanta.1)
  execute_process(COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/${name}
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${name})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brovanta)
install(FILES ${CMAKE_BINARY_DIR}/brovanta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brovanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Brovanta maintainers <maintainers@users.noreply.c-seed-c697c8ed.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "purchase, sales and stock for small clothing shops")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "澜禾服装鞋帽进销存管理系统 keeps the goods, customers, suppliers and staff of a
small clothing, shoes and hats shop; records purchases, sales, returns, stock
counts, receipts and payments; prints bills and statements; and backs up its
one encrypted database file. Its windows and built-in guide are in Chinese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese glyphs and Qt's own dialogs in Chinese are loaded at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
# A receipt printer on a CUPS queue is sent its bytes by lp.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-bsd")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
