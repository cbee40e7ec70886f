# INI engine: the profile functions over a per-process cache of parsed files.
list(APPEND PLATFORM_SOURCES
  IniDocument.h IniDocument.cpp
  IniFileCache.h IniFileCache.cpp
  Profile.h Profile.cpp
)
