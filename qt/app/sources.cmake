target_sources(latchsweep_qt PRIVATE
  app/controls.cpp app/controls.h
  app/form1_window.cpp app/form1_window.h
  app/icons.cpp app/icons.h
  app/qt_platform.cpp app/qt_platform.h
  app/qt_program.cpp app/qt_program.h
  app/qt_view_factory.cpp app/qt_view_factory.h
  app/window_adapter.h
  app/x11_desktop.cpp app/x11_desktop.h)
