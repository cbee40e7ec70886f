# Hiding and restoring the mail client's main window from the tray.
add_library(lumora_windowcontrol STATIC modEnumWindows.h modEnumWindows.cpp)
target_include_directories(lumora_windowcontrol PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora_windowcontrol PUBLIC lumora_platform)
lumora_warnings(lumora_windowcontrol)
