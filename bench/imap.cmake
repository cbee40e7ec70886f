# Needs dovecot-imapd; starts its own server as the tests do.
add_executable(bench_ImapBench ImapBench.cpp ${PROJECT_SOURCE_DIR}/tests/testsupport/DovecotServer.cpp)
target_link_libraries(bench_ImapBench PRIVATE lumora_host_imap Qt6::Core Qt6::Network)
lumora_warnings(bench_ImapBench)
