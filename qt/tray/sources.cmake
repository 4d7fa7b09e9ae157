target_sources(latchsweep_qt PRIVATE
  tray/desktop_area.cpp tray/desktop_area.h
  tray/form4_window.cpp tray/form4_window.h
  tray/qt_tray_port.cpp tray/qt_tray_port.h
  tray/tray_views.cpp tray/tray_views.h)
# The desktop's own signals about the notification area: XFixes on X11, the session bus.
find_package(Qt6 REQUIRED COMPONENTS DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LATCHSWEEP_XCB REQUIRED IMPORTED_TARGET xcb xcb-xfixes)
target_link_libraries(latchsweep_qt PUBLIC Qt6::DBus PRIVATE PkgConfig::LATCHSWEEP_XCB)
