# Top-level window enumeration and control over X11.
list(APPEND PLATFORM_SOURCES WindowSystem.h WindowSystem.cpp X11WindowSystem.h X11WindowSystem.cpp)
list(APPEND PLATFORM_LIBS Qt6::Gui PkgConfig::XCB)
