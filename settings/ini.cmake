# The INI file wrapper and the system version code that sizes one of its buffers.
list(APPEND SETTINGS_SOURCES
  CINIFile.h CINIFile.cpp
  modOSVersion.h modOSVersion.cpp
)
