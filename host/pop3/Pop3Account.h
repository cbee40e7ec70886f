#pragma once

#include "host/pop3/Pop3AccountConfig.h"
#include "host/pop3/Pop3Connection.h"
#include "host/pop3/Pop3State.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace lumora {

class Timer;

// One POP3 account: the messages Lumora knows of it (kept in its state file), and the
// server asked for new ones at start and then every interval (one timer, nothing between).
// A check runs on the event loop and never waits; opening and deleting a message, which the
// user asks for and the object model answers at once, wait on a session of their own.
class Pop3Account : public QObject
{
    Q_OBJECT
public:
    using Message = Pop3State::Message;
    // Asks the user whether the message (described) may be deleted from the server for good.
    using Confirm = std::function<bool(const QString &what)>;

    Pop3Account(const Pop3AccountConfig &config, const QString &statePath, QObject *parent = nullptr);
    ~Pop3Account() override;

    const Pop3AccountConfig &config() const { return m_config; }
    void setPassword(const QString &password);
    void trustFingerprint(const QString &fingerprint);
    QString storeId() const;
    QString displayCommand() const { return m_displayCommand; }
    void setDisplayCommand(const QString &command) { m_displayCommand = command; }
    // Without one, nothing is ever deleted from the server.
    void setConfirmDelete(Confirm confirm) { m_confirm = std::move(confirm); }

    // Reads the state file and checks at once; later checks follow every interval.
    void start();
    // Checks now (a refusal forgotten: the password or trust may have changed).
    void checkNow();
    bool isChecking() const { return m_connection != nullptr; }
    // Checks that ended, well or not (for tests and --verbose).
    int checksDone() const { return m_checksDone; }

    QList<const Message *> unreadOldestFirst() const;
    const Message *message(const QByteArray &uidl) const { return m_state.find(uidl); }
    int messageCount() const { return int(m_state.messages().size()); }
    int unreadCount() const;

    // Marks the message read here (saved at once); false with *error when it is unknown or
    // the state cannot be saved.
    bool markRead(const QByteArray &uidl, QString *error);
    // The whole message (RETR), fetched without deleting it; empty with *error on failure.
    QByteArray content(const QByteArray &uidl, QString *error);
    // Deletes the message from the server (DELE, committed by QUIT) once the user confirmed.
    bool remove(const QByteArray &uidl, QString *error);

    // The latest problem, empty once the account works again.
    QString problem() const;

    static QString storeIdOf(const QString &accountKey);
    static QString folderEntryId(const QString &accountKey);
    static QString itemEntryId(const QString &accountKey, const QByteArray &uidl);
    static bool parseFolderEntryId(const QString &id, QString *accountKey);
    static bool parseItemEntryId(const QString &id, QString *accountKey, QByteArray *uidl);

Q_SIGNALS:
    void problemChanged(const QString &text);
    void certificateUntrusted(const QString &fingerprint);
    // A check found messages whose ids Lumora had not seen before.
    void arrived(const QList<QByteArray> &uidls);
    // What the account keeps changed, so its unread count may have.
    void unreadChanged();
    void checked();

private:
    void report(const QString &text);
    void noteFailure(Pop3Connection *connection);
    void check();
    void onListed(const Pop3Response &response);
    void fetchHeaders();
    void endSession();
    void finishCheck(bool completed);
    void armTimer();
    bool saveState();
    // A session of its own, logged in, for a request the user waits for; null with *error.
    std::unique_ptr<Pop3Connection> openNow(QString *error);
    // The message number of uidl in session; 0 with *error when it is gone.
    quint32 numberOf(Pop3Connection &session, const QByteArray &uidl, QString *error);
    // Ends the session and waits for the server's answer; true when it acknowledged.
    bool quitNow(Pop3Connection &session);
    bool request(Pop3Connection &session, const QByteArray &command, bool multiLine, Pop3Response *response,
                 QString *error);

    Pop3AccountConfig m_config;
    Pop3State m_state;
    QPointer<Pop3Connection> m_connection;
    std::unique_ptr<Timer> m_timer;
    // Ids listed by the running check, in the server's order, and those it still fetches.
    QList<std::pair<quint32, QByteArray>> m_fresh;
    QList<Message> m_fetched;
    // Deleted while a check ran that had listed them.
    QSet<QByteArray> m_deleted;
    // Wrong password or untrusted certificate: asking again only repeats the refusal (and
    // may lock the account), so no check runs until the user changes something.
    bool m_refused = false;
    bool m_started = false;
    bool m_checkAgain = false;
    int m_checksDone = 0;
    Confirm m_confirm;
    QString m_problem;
    QString m_stateProblem;
    QString m_displayCommand = QStringLiteral("xdg-open");
};

} // namespace lumora
