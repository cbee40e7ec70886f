#pragma once

#include "host/pop3/Pop3AccountConfig.h"
#include "host/pop3/Pop3Response.h"

#include <QObject>
#include <QSslSocket>

#include <deque>
#include <functional>
#include <memory>

namespace lumora {

class Timer;

// One authenticated POP3 session over a non-blocking socket, on the event loop's thread.
// Commands run one after another, each completing with its response. A connection that
// failed stays dead: make a new one.
class Pop3Connection : public QObject
{
    Q_OBJECT
public:
    // What went wrong, in the terms a user can act on.
    enum class Problem {
        None,
        Unreachable,
        WrongPassword,
        // The server refused the login for now (the mailbox locked by another session).
        Busy,
        CertificateUntrusted,
        Tls,
        Protocol,
        Lost
    };
    Q_ENUM(Problem)

    // answered is false when the session died before the response came.
    using Done = std::function<void(bool answered, const Pop3Response &response)>;

    explicit Pop3Connection(const Pop3AccountConfig &config, QObject *parent = nullptr);
    ~Pop3Connection() override;

    // Connects, secures, logs in; ends in ready() or failed().
    void open();
    bool isReady() const { return m_state == State::Ready; }
    bool isDead() const { return m_state == State::Dead; }
    // Queues a command (without line end); multiLine for those whose +OK opens a body.
    void send(const QByteArray &command, bool multiLine, Done done);
    // Ends the session with QUIT; deletions take effect only when the server answers +OK,
    // which done is told. The session is closed afterwards.
    void quit(std::function<void(bool committed)> done);
    // Ends the session without a report.
    void close();
    // Blocks on this session's socket alone until done() holds: no event loop runs meanwhile.
    // Ends early, with the session closed, when a quit is requested; false unless done() holds.
    bool waitFor(const std::function<bool()> &done);

    // The server certificate's SHA-256 fingerprint (upper-case hex), once TLS saw one.
    QString certificateFingerprint() const { return m_fingerprint; }
    Problem problem() const { return m_problem; }
    QString problemText() const { return m_problemText; }

    // How long a command may go unanswered before the session counts as lost.
    static constexpr int ResponseTimeoutMs = 60000;
    // Responses handled before the event loop gets its turn again.
    static constexpr int ResponsesPerTurn = 200;

Q_SIGNALS:
    void ready();
    void failed(lumora::Pop3Connection::Problem problem, const QString &message);

private:
    enum class State {
        Idle,
        Connecting,
        Greeting,
        StartTls,
        Handshake,
        User,
        Pass,
        Ready,
        Dead
    };
    struct Command
    {
        QByteArray text;
        bool multiLine = false;
        Done done;
    };

    void onConnected();
    void onEncrypted();
    void onReadyRead();
    bool pump();
    void onSslErrors(const QList<QSslError> &errors);
    void onSocketError(QAbstractSocket::SocketError error);
    void handle(const Pop3Response &response);
    void login();
    void sendNext();
    void write(const QByteArray &line);
    void fail(Problem problem, const QString &message);
    bool expectsBody() const;
    QString where() const;

    Pop3AccountConfig m_config;
    QSslSocket m_socket;
    Pop3ResponseReader m_reader;
    State m_state = State::Idle;
    std::deque<Command> m_queue;
    std::unique_ptr<Command> m_current;
    bool m_turnQueued = false;
    bool m_backlog = false;
    quint64 m_bytesRead = 0;
    QString m_fingerprint;
    Problem m_problem = Problem::None;
    QString m_problemText;
    std::unique_ptr<Timer> m_timeout;
};

} // namespace lumora
