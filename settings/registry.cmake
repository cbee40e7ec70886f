# Registry and special-folder routines shared by both plugins.
list(APPEND SETTINGS_SOURCES
  modRegistry.h modRegistry.cpp
  modSpecialFolders.h modSpecialFolders.cpp
)
