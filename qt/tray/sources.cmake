target_sources(latchsweep_qt PRIVATE
  tray/desktop_area.cpp tray/desktop_area.h
  tray/form4_window.cpp tray/form4_window.h
  tray/qt_tray_port.cpp tray/qt_tray_port.h
  tray/tray_views.cpp tray/tray_views.h)
