target_sources(latchsweep_qt PRIVATE tray/tray_views.cpp tray/tray_views.h)
