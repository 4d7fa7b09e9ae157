target_sources(latchsweep_win32 PRIVATE
  settings/settings_views.cpp settings/settings_views.h)
