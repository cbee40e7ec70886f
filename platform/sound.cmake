# Notification sounds through libcanberra.
list(APPEND PLATFORM_SOURCES Sound.h Sound.cpp)
list(APPEND PLATFORM_LIBS PkgConfig::CANBERRA)
