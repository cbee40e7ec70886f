# Maildir file names, entry ids and folder names.
lumora_add_fuzzer(maildirname SOURCES MaildirNameFuzz.cpp LIBS lumora_host_maildir)
