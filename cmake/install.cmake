# Installing and packaging: the three programs and their assets/ in lib/reedmark (where
# the base-directory rule finds them), links in bin/, the desktop entry, the icon painted by
# icongen, the AppStream metainfo, and a Debian package through CPack.

# [SECTION] The icon, painted at every desktop size into the build tree
target_link_libraries(icongen PRIVATE reedmark_art)
set(REEDMARK_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(REEDMARK_ICON_SIZES 16 24 32 48 64 128 256)
set(icon_files ${REEDMARK_ICON_DIR}/reedmark.svg)
foreach(size ${REEDMARK_ICON_SIZES})
  list(APPEND icon_files ${REEDMARK_ICON_DIR}/reedmark-${size}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${REEDMARK_ICON_DIR}
  COMMAND icongen ${REEDMARK_ICON_DIR}
  DEPENDS icongen
  COMMENT "Painting the desktop icon"
  VERBATIM)
add_custom_target(icons ALL DEPENDS ${icon_files})

# [SECTION] Install layout
set(REEDMARK_APP_ID org.reedmark.Reedmark)
set(REEDMARK_INSTALL_DIR lib/reedmark)
install(TARGETS reedmark reedmark-sim reedmark-headless RUNTIME DESTINATION ${REEDMARK_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/data DESTINATION ${REEDMARK_INSTALL_DIR}/assets)
install(FILES ${CMAKE_SOURCE_DIR}/assets/font.bmp DESTINATION ${REEDMARK_INSTALL_DIR}/assets)
install(FILES ${music_tracks} DESTINATION ${REEDMARK_INSTALL_DIR}/assets/music)
install(FILES ${art_sheets} DESTINATION ${REEDMARK_INSTALL_DIR}/assets/art)
# bin/ holds relative links; the programs follow them back to lib/reedmark for assets/.
foreach(program reedmark reedmark-sim reedmark-headless)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${REEDMARK_INSTALL_DIR}/${program} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\")")
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${REEDMARK_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${REEDMARK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size ${REEDMARK_ICON_SIZES})
  install(FILES ${REEDMARK_ICON_DIR}/reedmark-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
    RENAME reedmark.png)
endforeach()
install(FILES ${REEDMARK_ICON_DIR}/reedmark.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/reedmark)

# [SECTION] Debian package (cpack -G DEB)
set(CPACK_PACKAGE_NAME reedmark)
set(CPACK_PACKAGE_VENDOR "Reedmark")
set(CPACK_PACKAGE_CONTACT "Reedmark developers <reedmark@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based strategy game of outlaw fellowships in the riverlands")
set(CPACK_PACKAGE_DESCRIPTION "Each player leads an outlaw fellowship through the 49 provinces of the riverlands:
recruit companions, govern provinces, trade, make treaties and fight tactical battles
on a hex field, until the Royal Writ brings down the Chancellor or the northern
invasion arrives. One to seven players share the machine; computer players lead the rest.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library dependencies come from dpkg-shlibdeps' scan of the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
