# File version information reader, over the platform's version-resource calls.
list(APPEND SUPPORT_SOURCES CFileVersionInfo.h CFileVersionInfo.cpp)
