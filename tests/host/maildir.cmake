lumora_add_test(host_maildir_tests
  SOURCES MaildirTree.h MaildirHeaderTest.cpp MaildirHostTest.cpp MaildirWatcherTest.cpp MaildirIndexTest.cpp
  LIBS lumora_host_maildir)
