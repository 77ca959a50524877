# dornvel.exe as a Windows application and its packages: the icon and version
# resource of the executable, and with CPack an NSIS installer
# (dornvel-<version>-win64.exe: Program Files, a Start-menu entry, an
# uninstaller registered with Windows) and a ZIP of the same files for users
# without administrator rights. makensis is Debian's nsis package; on Windows,
# NSIS's own installer.

# Windows' version numbers have four parts: 1.00 -> 1,0,0,0.
math(EXPR dornvel_minor "${PROJECT_VERSION_MINOR} + 0")
set(DORNVEL_RC_VERSION "${PROJECT_VERSION_MAJOR},${dornvel_minor},0,0")
set(DORNVEL_ICO ${PROJECT_SOURCE_DIR}/packaging/windows/dornvel.ico)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/dornvel.rc.in ${CMAKE_BINARY_DIR}/dornvel.rc @ONLY)
target_sources(dornvel PRIVATE ${CMAKE_BINARY_DIR}/dornvel.rc)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT dornvel)

set(CPACK_PACKAGE_NAME dornvel)
set(CPACK_PACKAGE_VENDOR "the dornvel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Test and set-up of an insulation-resistance meter over Modbus RTU")
set(CPACK_PACKAGE_FILE_NAME dornvel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY dornvel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY dornvel)
# Start menu: dornvel -> bin\dornvel.exe, with the executable's icon.
set(CPACK_PACKAGE_EXECUTABLES dornvel dornvel)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# A 64-bit installer (NSIS's amd64 stubs): it installs into the 64-bit Program
# Files and registers its uninstaller in the 64-bit registry, and runs where no
# 32-bit Windows layer is (Debian's wine64 alone has none). "Target" goes in
# with the defines: CPack splits makensis's -X option from its value.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "dornvel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "dornvel ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${DORNVEL_ICO})
set(CPACK_NSIS_MUI_UNIICON ${DORNVEL_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\dornvel.exe)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN dornvel.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY bin)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
include(CPack)
