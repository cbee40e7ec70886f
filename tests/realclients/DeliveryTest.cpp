// Delivery agents and a reader working on the Maildir: each step counts the announcements
// against what was delivered.
#include "tests/realclients/RealClientsFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QThread>

using namespace lumora;
using namespace lumora::test;

namespace {

class Local : public RealClients
{
protected:
    QString writeFile(const QString &name, const QByteArray &text)
    {
        const QString path = QFileInfo(root()).absolutePath() + QLatin1Char('/') + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return {};
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }

    int filesIn(const QString &folder, const char *sub, const QString &pattern = QStringLiteral("*")) const
    {
        const QString dir = (folder.isEmpty() ? root() : root() + QStringLiteral("/.") + folder) + QLatin1Char('/')
            + QLatin1String(sub);
        return int(QDir(dir).entryList(QStringList{pattern}, QDir::Files).size());
    }
};

} // namespace

TEST_F(Local, ProcmailAndMaildropDeliveriesAreEachAnnouncedOnce)
{
    const QString procmail = program(QStringLiteral("procmail"));
    const QString maildrop = program(QStringLiteral("maildrop"));
    if (procmail.isEmpty() || maildrop.isEmpty())
        GTEST_SKIP() << "procmail or maildrop is not installed (Debian packages procmail, maildrop)";
    const QString rc = writeFile(QStringLiteral("procmailrc"), "DEFAULT=" + QFile::encodeName(root()) + "/\n");
    const QString filter = writeFile(QStringLiteral("mailfilter"), "to \"" + QFile::encodeName(root()) + "/\"\n");
    ASSERT_FALSE(rc.isEmpty() || filter.isEmpty());
    startHost();
    const QDateTime now = QDateTime::currentDateTime();
    QString said;

    ASSERT_TRUE(run(procmail, {QStringLiteral("-m"), rc}, &said, mail("p1", "By procmail", now))) << said.toStdString();
    EXPECT_EQ(announced(), 1) << "procmail";
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(run(maildrop, {filter}, &said, mail("d" + QByteArray::number(i), "By maildrop", now)))
            << said.toStdString();
    }
    EXPECT_EQ(announced(), 3) << "maildrop";
    // Old mail filed again (a filter rerun over an archive) is no new mail.
    ASSERT_TRUE(run(procmail, {QStringLiteral("-m"), rc}, &said, mail("p2", "Filed again", now.addDays(-5))));
    EXPECT_EQ(announced(), 0) << "old mail filed again";
    EXPECT_EQ(filesIn({}, "new"), 5);
}

TEST_F(Local, NeomuttReadingFlaggingMovingAndDeletingAnnouncesNothingAgain)
{
    const QString neomutt = program(QStringLiteral("neomutt"));
    const QString tmux = program(QStringLiteral("tmux"));
    if (neomutt.isEmpty() || tmux.isEmpty())
        GTEST_SKIP() << "neomutt or tmux is not installed (Debian packages neomutt, tmux)";
    for (const char *sub : {"cur", "new", "tmp"})
        ASSERT_TRUE(QDir().mkpath(root() + QStringLiteral("/.Lists/") + QLatin1String(sub)));
    const QDateTime now = QDateTime::currentDateTime();
    // Oldest first in neomutt's index: a (flagged), b (moved), c (read), d (deleted).
    // A second apart as the server took them in, which is the order neomutt numbers them in.
    int second = -10;
    for (const char *id : {"a", "b", "c", "d"})
        deliverLocally({}, mail(id, QByteArray("Message ") + id, now.addSecs(++second)));
    startHost({QStringLiteral("Lists")});
    controller()->GetNewMailMessages();
    EXPECT_EQ(announced(), 4) << "deliveries";

    const QByteArray workDir = QFile::encodeName(QFileInfo(root()).absolutePath());
    const QString muttrc =
        writeFile(QStringLiteral("muttrc"),
                  "set mbox_type=Maildir\nset folder=\"" + QFile::encodeName(root())
                      + "\"\nset spoolfile=\"+\"\n"
                        "set sort=date-received\nset mark_old=no\nset move=no\nset confirmappend=no\nset delete=yes\n"
                        "set resolve=yes\nset quit=yes\nset wait_key=no\nset beep=no\nset header_cache=\"\"\nset "
                        "message_cachedir=\"\"\n"
                        "set tmpdir=\""
                      + workDir + "\"\nset pager_stop=yes\n");
    ASSERT_FALSE(muttrc.isEmpty());
    const QString socket = QString::fromLocal8Bit(workDir) + QStringLiteral("/tmux.sock");
    const QStringList tmuxBase{QStringLiteral("-S"), socket};
    QString said;
    ASSERT_TRUE(run(tmux,
                    tmuxBase
                        + QStringList{QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-x"),
                                      QStringLiteral("160"), QStringLiteral("-y"), QStringLiteral("40"),
                                      neomutt + QStringLiteral(" -n -F ") + muttrc},
                    &said))
        << said.toStdString();
    // A failed step must not leave neomutt running behind the test.
    const auto killServer = qScopeGuard([&] { run(tmux, tmuxBase + QStringList{QStringLiteral("kill-server")}); });
    // Waits until the screen shows the text (bounded).
    const auto screenShows = [&](const QString &text) {
        const QDeadlineTimer deadline(15000);
        QString pane;
        while (!deadline.hasExpired()) {
            run(tmux, tmuxBase + QStringList{QStringLiteral("capture-pane"), QStringLiteral("-p")}, &pane);
            if (pane.contains(text))
                return true;
            QThread::msleep(50);
        }
        ADD_FAILURE() << "neomutt never showed \"" << text.toStdString() << "\":\n" << pane.toStdString();
        return false;
    };
    const auto keys = [&](const QStringList &k) {
        run(tmux, tmuxBase + QStringList{QStringLiteral("send-keys"), QStringLiteral("-t"), QStringLiteral("0")} + k);
    };
    ASSERT_TRUE(screenShows(QStringLiteral("Message d")));
    // Each message is picked by its number (a jump), whatever the cursor did after the last change.
    keys({QStringLiteral("1"), QStringLiteral("Enter"), QStringLiteral("F")}); // flag a
    keys({QStringLiteral("2"), QStringLiteral("Enter"), QStringLiteral("s")}); // move b
    ASSERT_TRUE(screenShows(QStringLiteral("Save to mailbox")));
    keys({QStringLiteral("C-u"), QStringLiteral("=.Lists"), QStringLiteral("Enter")});
    keys({QStringLiteral("3"), QStringLiteral("Enter"), QStringLiteral("Enter")}); // read c
    ASSERT_TRUE(screenShows(QStringLiteral("Subject: Message c")));
    keys({QStringLiteral("q"), QStringLiteral("4"), QStringLiteral("Enter"), QStringLiteral("d"),
          QStringLiteral("q")}); // delete d, quit
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && run(tmux, tmuxBase + QStringList{QStringLiteral("has-session")}))
        QThread::msleep(50);

    // neomutt did what it was told: a flagged, b in Lists, c read, d gone.
    EXPECT_EQ(filesIn({}, "new") + filesIn({}, "cur"), 2);
    EXPECT_EQ(filesIn({}, "new", QStringLiteral("*:2,F")) + filesIn({}, "cur", QStringLiteral("*:2,F")), 1);
    EXPECT_EQ(filesIn({}, "cur", QStringLiteral("*:2,S")), 1);
    EXPECT_EQ(filesIn(QStringLiteral("Lists"), "new") + filesIn(QStringLiteral("Lists"), "cur"), 1);
    controller()->GetNewMailMessages();
    EXPECT_EQ(announced(), 0) << "reading, flagging, moving and deleting";
}
