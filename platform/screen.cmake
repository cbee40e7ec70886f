# Work area of the primary screen, for placing the popup.
list(APPEND PLATFORM_SOURCES WorkArea.h WorkArea.cpp)
list(APPEND PLATFORM_LIBS Qt6::Gui)
