# What puts dornvel in a Linux desktop's menu: the desktop entry, the icon in
# the hicolor theme (SVG and the PNG sizes), and the AppStream metadata that
# software centres show.
if(NOT TARGET dornvel)
  return()
endif()

# The program's name among desktop applications (reverse domain) and where its
# pages are published: placeholders of the reserved example.org domain until the
# project has a domain of its own.
set(DORNVEL_APP_ID org.example.dornvel)
set(DORNVEL_SCREENSHOT_URL https://dornvel.example.org/window.png)

configure_file(${PROJECT_SOURCE_DIR}/packaging/dornvel.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/packaging/${DORNVEL_APP_ID}.metainfo.xml @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/dornvel.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT dornvel)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${DORNVEL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT dornvel)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT dornvel)
