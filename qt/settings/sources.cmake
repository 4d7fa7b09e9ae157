target_sources(latchsweep_qt PRIVATE settings/settings_views.cpp settings/settings_views.h)
