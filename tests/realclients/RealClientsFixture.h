#pragma once

#include "host/maildir/MaildirApplication.h"
#include "tests/addin/AddInFixture.h"

#include <QByteArray>
#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace lumora::test {

// The add-in on the Maildir host over a real Maildir that real programs (synchronisers,
// delivery agents, readers) change. The clock is virtual but starts now, as the programs
// write real times; each step counts the messages the add-in announced.
class RealClients : public AddInFixture
{
protected:
    RealClients();
    ~RealClients() override;

    // The program's path; empty when it is not installed.
    static QString program(const QString &name);
    // Runs a program to its end (bounded); false, with what it said, when it failed.
    static bool run(const QString &program, const QStringList &args, QString *output = nullptr,
                    const QByteArray &input = {}, int timeoutMs = 30000);

    // An empty Maildir++ store (its Inbox at the top).
    QString root() const { return m_dir.path() + QStringLiteral("/Maildir"); }
    // Starts the Maildir host on the store and connects the add-in, as a first start does:
    // the Inbox is watched, plus the named sub-folders.
    void startHost(const QStringList &alsoWatch = {});
    // Lets the watcher read what changed, the quiet times pass and the scan run, shows what
    // was queued, and returns how many messages were queued since the last call.
    int announced();
    // A message as a mail server passes it on: the server's Received line at `received`.
    static QByteArray mail(const QByteArray &id, const QByteArray &subject, const QDateTime &received);
    // Writes a message into a folder (empty: the Inbox) as a delivery agent does: tmp/, then new/.
    void deliverLocally(const QString &folder, const QByteArray &message);
    static QByteArray rfc2822(const QDateTime &time);

    std::unique_ptr<MaildirApplication> maildir;

private:
    QTemporaryDir m_dir;
    int m_counted = 0;
};

} // namespace lumora::test
