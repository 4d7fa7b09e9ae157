target_sources(latchsweep_win32 PRIVATE
  about/about_views.cpp about/about_views.h
  about/win32_system_ports.cpp about/win32_system_ports.h)
