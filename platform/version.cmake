# Version-resource reader: PE resource walk, VS_VERSIONINFO parser, language names.
list(APPEND PLATFORM_SOURCES
  PeImage.h PeImage.cpp
  ElfImage.h ElfImage.cpp
  VersionResource.h VersionResource.cpp
  LanguageNames.h LanguageNames.cpp
  VersionInfo.h VersionInfo.cpp
)
