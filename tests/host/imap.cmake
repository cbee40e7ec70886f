lumora_add_test(host_imap_tests
  SOURCES ImapProtocolTest.cpp ImapHostTest.cpp
  LIBS lumora_host_imap testsupport_imap)
