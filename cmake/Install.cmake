# What `cmake --install` puts under the prefix (debian/ packages the same tree):
#   bin/brenvoxgui, bin/brenvox.exe
#   share/applications/brenvoxgui.desktop          the menu entry, opening .kbv files
#   share/icons/hicolor/scalable/apps/brenvoxgui.svg, NxN/apps/brenvoxgui.png
#                                                   the program's icon, drawn and at the theme's sizes
#   share/icons/hicolor/scalable/mimetypes/application-x-brenvox-layout.svg, NxN/mimetypes/...png
#                                                   the icon of the .kbv type
#   share/mime/packages/brenvoxgui.xml              the .kbv type, "brenvox layout"
#   share/man/man1/brenvoxgui.1.gz, brenvox.exe.1.gz
#   share/locale/LANG/LC_MESSAGES/brenvoxgui.mo     the window's texts, one per po/LANG.po
include(GNUInstallDirs)

install(TARGETS brenvoxgui brenvox_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/brenvoxgui.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/brenvoxgui-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brenvoxgui.xml)

# The icons, drawn as SVG in resources/: the program's (brenvoxgui) and the
# .kbv file type's (application-x-brenvox-layout, the name the MIME database
# gives the type). Each goes in as the scalable drawing and as PNG files at the
# theme's sizes, rendered at build time by rsvg-convert (librsvg2-bin).
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(BRENVOX_ICON_SIZES 16 22 24 32 48 64 128 256)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_PNGS)
foreach(icon IN ITEMS "brenvoxgui;apps" "application-x-brenvox-layout;mimetypes")
  list(GET icon 0 name)
  list(GET icon 1 context)
  set(svg ${CMAKE_SOURCE_DIR}/resources/${name}.svg)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context})
  foreach(size ${BRENVOX_ICON_SIZES})
    set(png ${ICON_DIR}/${size}x${size}/${context}/${name}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}/${size}x${size}/${context}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${svg}
      DEPENDS ${svg}
      COMMENT "Rendering ${name} at ${size} x ${size}")
    list(APPEND ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
  endforeach()
endforeach()

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

# The catalogs, where the program looks for them (share/locale beside bin/).
install(DIRECTORY ${BRENVOX_LOCALE_DIR}/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
