# Notification-area icons over the desktop's system tray.
list(APPEND PLATFORM_SOURCES NotifyIcon.h NotifyIconHost.h NotifyIconHost.cpp TrayIconHost.h TrayIconHost.cpp)
list(APPEND PLATFORM_LIBS Qt6::Widgets)
list(APPEND PLATFORM_PUBLIC_LIBS Qt6::Gui)
