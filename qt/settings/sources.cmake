target_sources(latchsweep_qt PRIVATE
  settings/directory_list_widget.cpp settings/directory_list_widget.h
  settings/settings_views.cpp settings/settings_views.h)
