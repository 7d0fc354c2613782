# Installs the controller like a desktop program (component "shell"): the program in bin/,
# the language catalogues in share/qvt-vz1-controller/, the icon in the hicolor theme, a menu
# entry, an autostart entry (it is a resident tray program) and the udev rule that gives the
# logged-in user the camera's serial port and the speakerphone's device.
set(QVT_DATA_DIR ${CMAKE_INSTALL_DATADIR}/qvt-vz1-controller)
install(FILES ${QVT_LANGUAGE_CATALOGUES} DESTINATION ${QVT_DATA_DIR} COMPONENT shell)
foreach(size 16 22 24 32 48 64 128)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/128/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME qvt-vz1-controller.png COMPONENT shell)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/icons/qvt-vz1-controller.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT shell)
install(FILES ${PROJECT_SOURCE_DIR}/dist/qvt-vz1-controller.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT shell)
# With the prefix /usr these land in /etc/xdg/autostart and /usr/lib/udev/rules.d, where the
# desktop and udev look; a /usr/local install leaves them for the administrator to copy.
install(FILES ${PROJECT_SOURCE_DIR}/dist/qvt-vz1-controller-autostart.desktop
  DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart RENAME qvt-vz1-controller.desktop COMPONENT shell)
set(QVT_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where the udev rule is installed (relative: under the prefix)")
install(FILES ${PROJECT_SOURCE_DIR}/dist/70-qvt-vz1.rules DESTINATION ${QVT_UDEV_RULES_DIR} COMPONENT shell)
# The virtual camera (qvt-vz1-sim) installs itself from sim/ into the same bin/.
