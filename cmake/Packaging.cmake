# Installation under GNU directories and the Debian package built from it by CPack
# (scripts/package.sh). The programs install themselves in their own folders; the menu
# entry, the icons and the udev rule for USB adapters are installed here.
include(GNUInstallDirs)

set(MORVELL_ICON_SIZES 16 32 48 64 128 256)
install(FILES ${PROJECT_SOURCE_DIR}/data/morvell.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/morvell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS MORVELL_ICON_SIZES)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/apps/morvell.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Where udev looks for the rules of packages.
install(FILES ${PROJECT_SOURCE_DIR}/data/udev/60-morvell-ftdi-latency.rules
        DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Korvan)
set(CPACK_PACKAGE_CONTACT "Morvell developers <morvell@korvan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "table editor for fiscal cash registers / редактор таблиц ККТ")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads the programmable tables of a fiscal cash register (goods, settings,
users, taxes, payment types and others) over a serial line into a grid,
edits them, writes them back and checks what the register kept; saves
tables and whole-register profiles as files and reads firmware memory
dumps. Includes the command-line program morvell-cli and the register
emulator program register-emulator.

Читает программируемые таблицы контрольно-кассовой техники (товары,
настройки, пользователи, налоги, виды оплаты и другие) через
последовательный порт, позволяет их править, записывает обратно и
проверяет записанное; сохраняет таблицы и профили ККТ в файлы, читает
дамп памяти прошивки. В пакете также программа командной строки
morvell-cli и эмулятор ККТ register-emulator.")
set(CPACK_DEBIAN_PACKAGE_NAME morvell)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Qt libraries come from dpkg-shlibdeps; Qt's Russian texts are data it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qttranslations5-l10n)
set(CPACK_STRIP_FILES ON)
include(CPack)
