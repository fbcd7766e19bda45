# What `cmake --install` puts under the prefix, and the Debian package (cpack -G DEB):
#   bin/brenvoxgui, bin/brenvox.exe
#   share/applications/brenvoxgui.desktop          the menu entry, opening .kbv files
#   share/icons/hicolor/NxN/apps/brenvoxgui.png     the program's icon at the theme's sizes
#   share/mime/packages/brenvoxgui.xml              the .kbv type, "brenvox layout"
#   share/man/man1/brenvoxgui.1.gz, brenvox.exe.1.gz
include(GNUInstallDirs)

install(TARGETS brenvoxgui brenvox_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/brenvoxgui.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/brenvoxgui-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brenvoxgui.xml)

# The icon in the sizes of the hicolor theme, made from resources/brenvox.xpm
# at build time by a small wx program (wx is there for the program anyway).
set(BRENVOX_ICON_SIZES 16 22 24 32 48 64 128 256)
add_executable(icon_sizes ${CMAKE_SOURCE_DIR}/resources/IconSizes.cpp)
target_include_directories(icon_sizes PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(icon_sizes PRIVATE brenvox_wx)
set_target_properties(icon_sizes PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/helpers)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_PNGS)
foreach(size ${BRENVOX_ICON_SIZES})
  list(APPEND ICON_PNGS ${ICON_DIR}/brenvoxgui-${size}.png)
  install(FILES ${ICON_DIR}/brenvoxgui-${size}.png RENAME brenvoxgui.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_command(
  OUTPUT ${ICON_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:icon_sizes> ${ICON_DIR} ${BRENVOX_ICON_SIZES}
  DEPENDS icon_sizes ${CMAKE_SOURCE_DIR}/resources/brenvox.xpm
  COMMENT "Drawing the icon at the theme's sizes")

# Manual pages, compressed as Debian keeps them.
set(MAN_PAGES)
foreach(page brenvoxgui.1 brenvox.exe.1)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${CMAKE_SOURCE_DIR}/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND MAN_PAGES ${out})
endforeach()
install(FILES ${MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

add_custom_target(desktop_files ALL DEPENDS ${ICON_PNGS} ${MAN_PAGES})

# The Debian package: cpack -G DEB in the build folder. The libraries it
# needs are found by dpkg-shlibdeps; the rest is what the program calls.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenvox-gui)
set(CPACK_PACKAGE_VENDOR "brenvox GUI developers")
set(CPACK_PACKAGE_CONTACT "brenvox GUI developers <brenvox-gui@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose CD-ROM XA disc layouts and write them as Mode 2 images")
set(CPACK_PACKAGE_DESCRIPTION
    "brenvox GUI lets one compose the layout of a CD-ROM XA disc as a tree of folders and\n\
files, each stored in Form 1 (data) or Form 2 (video and audio streams) sectors,\n\
and runs brenvox.exe, the image writer that comes with it, which writes the\n\
image as TARGET.bin with TARGET.cue for burning programs.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, adwaita-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cdrdao, libcdio-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
