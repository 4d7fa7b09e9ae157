target_sources(latchsweep_win32 PRIVATE
  tray/notification_area.cpp tray/notification_area.h
  tray/tray_views.cpp tray/tray_views.h)
