# Recording notification area for the tray form's tests.
list(APPEND TESTSUPPORT_SOURCES FakeNotifyIconHost.h FakeNotifyIconHost.cpp)
