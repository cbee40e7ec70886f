# The registry calls over a file-backed store in .reg text format.
list(APPEND PLATFORM_SOURCES
  Registry.h Registry.cpp
  RegistryStore.h RegistryStore.cpp
  RegFile.h RegFile.cpp
)
