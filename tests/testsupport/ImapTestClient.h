#pragma once

#include "host/imap/ImapConnection.h"

#include <functional>

namespace lumora::test {

// Runs the event loop until done() holds or ms pass; false on time-out.
bool waitUntil(const std::function<bool()> &done, int ms = 5000);

// Another mail client of the test's server: delivers and inspects mail over its own session,
// waiting for each answer.
class ImapTestClient
{
public:
    explicit ImapTestClient(const ImapAccountConfig &config);

    bool isReady() const { return m_connection.isReady(); }
    // The untagged responses of the command; *ok tells whether it succeeded.
    QList<ImapResponse> run(const QByteArray &command, bool *ok = nullptr, const QByteArray &literal = {});
    bool append(const QByteArray &mailbox, const QByteArray &message);
    // Messages in the mailbox; -1 when it cannot be asked.
    qint64 count(const QByteArray &mailbox);
    // The flags of every message of the mailbox, joined by blanks.
    QByteArray flags(const QByteArray &mailbox);

private:
    ImapConnection m_connection;
};

} // namespace lumora::test
