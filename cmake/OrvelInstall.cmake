# What `cmake --install` puts where (GNU directories): the three programs, the desktop entry, the
# icon in the hicolor theme, the AppStream metainfo and the manual pages.
include(GNUInstallDirs)

# The application's identity for desktops and software centres. The component id must not change
# once released. The project has no web home yet: both are placeholders to settle before the
# first public release (the screenshot is looked for under the homepage).
set(ORVEL_APP_ID "org.example.orvel" CACHE STRING "AppStream component id and desktop entry name")
set(ORVEL_HOMEPAGE "https://orvel.example.org" CACHE STRING "Project homepage, also the screenshots' base URL")
set(ORVEL_RELEASE_DATE "2026-12-08")  # of release PROJECT_VERSION

install(TARGETS orvel-analyze orvel-phantom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(ORVEL_GUI)
  install(TARGETS orvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(ORVEL_GENERATED ${CMAKE_BINARY_DIR}/share)
configure_file(${PROJECT_SOURCE_DIR}/resources/orvel.desktop.in
               ${ORVEL_GENERATED}/applications/${ORVEL_APP_ID}.desktop COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/orvel.metainfo.xml.in
               ${ORVEL_GENERATED}/metainfo/${ORVEL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ORVEL_GENERATED}/applications/${ORVEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVEL_GENERATED}/metainfo/${ORVEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the SVG itself, and PNGs for desktops that want bitmaps, rendered at build time.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found: install librsvg2-bin (scripts/setup-packages.sh does)")
endif()
set(icon_source ${PROJECT_SOURCE_DIR}/resources/orvel.svg)
set(icon_outputs)
foreach(size 48 256)
  set(png ${ORVEL_GENERATED}/icons/${size}x${size}/orvel.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVEL_GENERATED}/icons/${size}x${size}
                     COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_source}
                     DEPENDS ${icon_source} VERBATIM)
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  list(APPEND icon_outputs ${png})
endforeach()
install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages with the project's version, compressed as Debian installs them.
set(man_outputs)
foreach(page orvel orvel-analyze orvel-phantom)
  set(page_text ${ORVEL_GENERATED}/man/${page}.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${page_text} @ONLY)
  add_custom_command(OUTPUT ${page_text}.gz
                     COMMAND gzip -9 -n -f -k ${page_text}
                     DEPENDS ${page_text})
  install(FILES ${page_text}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND man_outputs ${page_text}.gz)
endforeach()

add_custom_target(orvel_desktop_files ALL DEPENDS ${icon_outputs} ${man_outputs})
