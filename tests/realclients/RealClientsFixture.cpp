#include "tests/realclients/RealClientsFixture.h"

#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/core/Registry.h"
#include "popup/PopupWindow.h"
#include "settings/SettingsLocation.h"
#include "settings/modRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace lumora::test {

RealClients::RealClients()
    : AddInFixture(QDateTime::currentDateTime())
{
    for (const char *sub : {"cur", "new", "tmp"})
        QDir().mkpath(root() + QLatin1Char('/') + QLatin1String(sub));
    // A short display time: a burst of thirty is shown one after another.
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, SettingsLocation::registryKey(QStringLiteral("10")),
                                    QStringLiteral("MessageDelay"), QStringLiteral("500"), reg::REG_SZ);
}

RealClients::~RealClients()
{
    disconnectAddIn();
    connect.reset();
    maildir.reset();
}

QString RealClients::program(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

bool RealClients::run(const QString &program, const QStringList &args, QString *output, const QByteArray &input,
                      int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return false;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void RealClients::startHost(const QStringList &alsoWatch)
{
    maildir = std::make_unique<MaildirApplication>(QStringList{root()});
    if (!alsoWatch.isEmpty()) {
        // Watched from the start, as the folder picker would have saved them.
        host::NameSpace *ns = maildir->GetNamespace(QStringLiteral("MAPI"));
        host::FolderPtr top = ns ? ns->GetDefaultFolder(host::FolderInbox) : nullptr;
        ASSERT_TRUE(top);
        QStringList entries{top->EntryID() + QLatin1Char('|') + top->StoreID()};
        host::FoldersPtr subs = top->folders();
        for (int i = 1; subs && i <= subs->Count(); ++i) {
            host::FolderPtr f = subs->Item(i);
            if (f && alsoWatch.contains(f->Name()))
                entries << f->EntryID() + QLatin1Char('|') + f->StoreID();
        }
        ASSERT_EQ(entries.size(), alsoWatch.size() + 1);
        watch(entries);
    }
    connectAddInTo(maildir.get());
    ASSERT_TRUE(controller() && controller()->isAttached());
    m_counted = traceCount(QStringLiteral("queued:"));
}

int RealClients::announced()
{
    // The files changed before the program ended, so the kernel's events wait already:
    // each round reads them and lets the watcher's quiet time pass.
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        clock.advance(1000);
    }
    clock.advance(5000);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    // Shown one after another; a scan waits while a popup shows.
    for (int i = 0; i < 20000 && popup()->isShowing(); ++i)
        clock.advance(100);
    EXPECT_FALSE(popup()->isShowing());
    const int queued = traceCount(QStringLiteral("queued:"));
    const int fresh = queued - m_counted;
    m_counted = queued;
    return fresh;
}

QByteArray RealClients::rfc2822(const QDateTime &time)
{
    return QLocale::c().toString(time.toUTC(), QStringLiteral("ddd, d MMM yyyy hh:mm:ss")).toLatin1() + " +0000";
}

QByteArray RealClients::mail(const QByteArray &id, const QByteArray &subject, const QDateTime &received)
{
    return "Received: from mx.example.org by imap.example.org with ESMTP id " + id + "; " + rfc2822(received)
        + "\r\nMessage-ID: <" + id + "@example.org>\r\nFrom: Ann Sender <ann@example.org>\r\nTo: me@example.org\r\n"
        + "Subject: " + subject + "\r\nDate: " + rfc2822(received.addSecs(-30)) + "\r\n\r\nHello.\r\n";
}

void RealClients::deliverLocally(const QString &folder, const QByteArray &message)
{
    static int serial = 0;
    const QString dir = folder.isEmpty() ? root() : root() + QStringLiteral("/.") + folder;
    const QString name =
        QStringLiteral("%1.M%2P%3.lumora-local").arg(QDateTime::currentSecsSinceEpoch()).arg(++serial).arg(getpid());
    QFile file(dir + QStringLiteral("/tmp/") + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(message), message.size());
    file.close();
    ASSERT_TRUE(QFile::rename(file.fileName(), dir + QStringLiteral("/new/") + name));
}

} // namespace lumora::test
