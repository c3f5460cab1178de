# Desktop integration of an install: the application's menu entry and its icon in
# the freedesktop icon theme. The entry starts the installed executable by its full
# path, so it works whether or not the install prefix is on PATH; the path is
# filled in at install time, when the prefix (cmake --install --prefix) is known.
install(CODE "
    set(TALVOREN_INSTALLED_EXECUTABLE \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/talvoren\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/talvoren.desktop.in\"
        \"${CMAKE_CURRENT_BINARY_DIR}/talvoren.desktop\" @ONLY)
    file(INSTALL \"${CMAKE_CURRENT_BINARY_DIR}/talvoren.desktop\"
        DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/talvoren.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/talvoren.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
