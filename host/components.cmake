# The host's own components (logging, safe mail) and the factory that creates components by prog-id.
list(APPEND HOST_SOURCES
  FileLogWriter.h FileLogWriter.cpp
  FileLogging.h FileLogging.cpp
  HostSafeMailItem.h HostSafeMailItem.cpp
  ComponentFactory.h ComponentFactory.cpp
)
