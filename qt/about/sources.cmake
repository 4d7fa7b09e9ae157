target_sources(latchsweep_qt PRIVATE about/about_views.cpp about/about_views.h)
