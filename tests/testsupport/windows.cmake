# Scriptable desktop window list for the window-control tests.
list(APPEND TESTSUPPORT_SOURCES FakeWindowSystem.h FakeWindowSystem.cpp)
