target_sources(latchsweep_qt PRIVATE
  about/about_views.cpp about/about_views.h
  about/posix_launcher.cpp about/posix_launcher.h)
