#pragma once

#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapOAuth.h"
#include "host/imap/ImapResponse.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QSslSocket>

#include <deque>
#include <functional>
#include <memory>

namespace lumora {

class Timer;

// One authenticated IMAP session over a non-blocking socket, on the event loop's thread.
// Commands run one after another; each completes with its tagged response and the untagged
// responses that arrived meanwhile. A connection that failed stays dead: make a new one.
// What a session may hold is bounded (a line, a response, the responses collected for one
// command), and a flood is read in turns, so other events still get their chance.
class ImapConnection : public QObject
{
    Q_OBJECT
public:
    // What went wrong, in the terms a user can act on.
    enum class Problem {
        None,
        Unreachable,
        WrongPassword,
        // No OAuth2 token could be had (the command failed, the online account is away):
        // worth trying again later, unlike a refusal.
        Token,
        CertificateUntrusted,
        Tls,
        Protocol,
        Lost
    };
    Q_ENUM(Problem)

    using Done = std::function<void(const ImapResponse &tagged, const QList<ImapResponse> &untagged)>;

    explicit ImapConnection(const ImapAccountConfig &config, QObject *parent = nullptr);
    ~ImapConnection() override;

    // Connects, secures, logs in; ends in ready() or failed().
    void open();
    bool isReady() const { return m_state == State::Ready; }
    bool isDead() const { return m_state == State::Dead; }
    // Queues a command (without tag and line end). A continuation request from the server is
    // answered with continuation. done gets an empty tagged response when the session dies.
    void send(const QByteArray &command, Done done, const QByteArray &continuation = {});
    // Enters IDLE once no command waits; untagged responses then arrive through untagged().
    // A later send() ends IDLE first.
    void idle();
    // In IDLE as the server confirmed it: only then does it report as things happen, and
    // only then does the renewal count down.
    bool isIdling() const { return m_idleTag.size() > 0 && m_idleConfirmed; }
    bool hasCapability(const QByteArray &name) const { return m_capabilities.contains(name.toUpper()); }
    // Ends the session without a report.
    void close();
    // Blocks on this session's socket alone until done() holds: no event loop runs meanwhile,
    // so nothing else can act (quit, delete, ask again) while a caller waits. Ends early, with
    // the session closed, when a quit is requested; false unless done() holds.
    bool waitFor(const std::function<bool()> &done);
    // What the session holds of the server's data: unread input and the responses collected
    // for the running command.
    qsizetype heldBytes() const;
    // The most the responses collected for one command may cost.
    void setMaxHeldBytes(qsizetype bytes) { m_maxHeldBytes = bytes; }

    // The server certificate's SHA-256 fingerprint (upper-case hex), once TLS saw one.
    QString certificateFingerprint() const { return m_fingerprint; }
    Problem problem() const { return m_problem; }
    QString problemText() const { return m_problemText; }

    // A string argument: quoted when it can be, else a non-synchronising literal (servers
    // without LITERAL+ refuse such names, which then fail as values).
    static QByteArray quote(const QByteArray &text);
    // How long a command may go unanswered before the session counts as lost.
    static constexpr int ResponseTimeoutMs = 60000;
    // A message fetched whole fits, with room for the responses around it.
    static constexpr qsizetype MaxHeldBytes = 2 * ImapResponseReader::MaxResponseBytes;
    // Responses handled before the event loop gets its turn again.
    static constexpr int ResponsesPerTurn = 200;

Q_SIGNALS:
    void ready();
    void failed(lumora::ImapConnection::Problem problem, const QString &message);
    void untagged(const lumora::ImapResponse &response);
    // An IDLE ended for the server's own reasons or for its periodic renewal, not because a
    // command of ours was waiting: a moment to look around that costs no extra wake-up.
    void idleEnded();

private:
    enum class State {
        Idle,
        Connecting,
        Greeting,
        StartTls,
        Handshake,
        Capability,
        Login,
        Ready,
        Dead
    };
    struct Command
    {
        QByteArray text;
        QByteArray continuation;
        Done done;
        QByteArray tag;
        QList<ImapResponse> untagged;
        qsizetype heldBytes = 0;
    };

    void onConnected();
    void onEncrypted();
    void onReadyRead();
    // Handles what arrived, up to a turn's worth; true when more waits.
    bool pump();
    void onSslErrors(const QList<QSslError> &errors);
    void onSocketError(QAbstractSocket::SocketError error);
    void handle(const ImapResponse &response, qsizetype size);
    bool collect(const ImapResponse &response, qsizetype size);
    void handleGreeting(const ImapResponse &response);
    void requestCapabilities();
    void login();
    // Signs in with a token; fresh after the server refused the last one.
    void loginWithToken(bool fresh);
    void loginRefused(const ImapResponse &response);
    void sendNext();
    void write(const QByteArray &line);
    void fail(Problem problem, const QString &message);
    void armTimeout(bool on);
    void readCapabilities(const QList<ImapValue> &values, qsizetype from);
    QString where() const;

    ImapAccountConfig m_config;
    QSslSocket m_socket;
    ImapResponseReader m_reader;
    State m_state = State::Idle;
    std::deque<Command> m_queue;
    std::unique_ptr<Command> m_current;
    QByteArray m_idleTag;
    bool m_idleWanted = false;
    bool m_doneSent = false;
    // The DONE went out because a command waits (rather than for a renewal).
    bool m_doneForCommand = false;
    // The server confirmed IDLE: the timer now counts down to its renewal.
    bool m_idleConfirmed = false;
    int m_nextTag = 1;
    // A bare continuation was answered with a cancel during login; another is a loop.
    bool m_loginCancelled = false;
    // OAuth2 sign-in: the mechanism used, the server's error challenge (answered once) and
    // its status, and whether a fresh token was tried already.
    bool m_oauth = false;
    ImapOAuth::Mechanism m_mechanism = ImapOAuth::Mechanism::OAuthBearer;
    bool m_oauthChallenged = false;
    QString m_oauthStatus;
    bool m_tokenRetried = false;
    bool m_turnQueued = false;
    bool m_backlog = false;
    quint64 m_bytesRead = 0;
    qsizetype m_maxHeldBytes = MaxHeldBytes;
    QSet<QByteArray> m_capabilities;
    QString m_fingerprint;
    Problem m_problem = Problem::None;
    QString m_problemText;
    std::unique_ptr<Timer> m_timeout;
};

} // namespace lumora
