#pragma once

#include "host/imap/ImapAccountConfig.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lumora::test {

// A scripted IMAP server without encryption on 127.0.0.1. It runs on threads of its own
// (one per session), so it keeps talking while the client blocks on a request.
class FakeImapServer
{
public:
    struct Answer
    {
        QByteArray bytes;
        // Then sent again and again until the client goes away (a flood, an endless line).
        QByteArray repeat;
    };
    // The answer to one command of session number `session` (0-based); nullopt answers as a
    // plain server would, an empty Answer answers nothing at all.
    using Script = std::function<std::optional<Answer>(int session, const QByteArray &tag, const QByteArray &verb)>;

    explicit FakeImapServer(Script script = {});
    ~FakeImapServer();

    bool isListening() const { return m_listener >= 0; }
    ImapAccountConfig account() const;
    int sessions() const { return m_sessions.load(); }
    // Waits until a command with this verb (upper-case) arrived.
    bool waitForCommand(const QByteArray &verb, int ms = 5000) const;
    QList<QByteArray> verbs() const;

private:
    void acceptLoop();
    void serve(int fd, int session);
    bool sendAll(int fd, const QByteArray &bytes) const;
    std::optional<QByteArray> readLine(int fd, QByteArray *buffer) const;

    Script m_script;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sessions{0};
    mutable std::mutex m_mutex;
    QList<QByteArray> m_verbs;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

} // namespace lumora::test
