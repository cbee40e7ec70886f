#include "tests/addin/AddInFixture.h"

#include "addin/NewMailCommand.h"
#include "platform/core/Registry.h"
#include "popup/PopupWindow.h"
#include "settings/modRegistry.h"
#include "tray/Main.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace lumora;
using namespace lumora::test;

namespace {

// Bounded: a command that hangs fails the test instead of the run.
constexpr int ProcessWaitMs = 10000;

// The user's command on new mail, started by the add-in's scan: the mail reaches it only
// through its environment, and a command that fails is told once.
class NewMailHook : public AddInFixture
{
protected:
    void SetUp() override
    {
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }

    static void setCommand(const QString &commandLine)
    {
        modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER,
                                        QStringLiteral("Software\\Corvane Software\\Lumora\\Host"),
                                        QStringLiteral("NewMailCommand"), commandLine, reg::REG_SZ);
    }
    // Delivers one message and waits until the command it started has ended.
    bool deliverAndWait(const QString &subject, const QString &sender = QStringLiteral("Ann Sender"))
    {
        QSignalSpy done(controller()->newMailCommand(), &NewMailCommand::finished);
        MemoryItemData data;
        data.subject = subject;
        data.senderName = sender;
        data.receivedTime = clock.now();
        app.deliver(inbox, data, true);
        clock.advance(5000);
        return done.count() > 0 || done.wait(ProcessWaitMs);
    }
    // A script at a path with a space in it that writes its environment, NUL-separated, to
    // the file named by its argument.
    QString writeEnvScript()
    {
        const QString script = home.path() + QStringLiteral("/hook dir/write env.sh");
        QDir().mkpath(home.path() + QStringLiteral("/hook dir"));
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexec env -0 > \"$1\"\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
    QHash<QString, QString> readEnv(const QString &path) const
    {
        QHash<QString, QString> env;
        for (const QByteArray &entry : fileBytes(path).split('\0')) {
            const qsizetype eq = entry.indexOf('=');
            if (eq > 0)
                env.insert(QString::fromUtf8(entry.left(eq)), QString::fromUtf8(entry.mid(eq + 1)));
        }
        return env;
    }
    int warnings(const QString &part) const
    {
        int n = 0;
        for (const QString &line : trace)
            n += line.startsWith(QStringLiteral("warning:")) && line.contains(part) ? 1 : 0;
        return n;
    }
    QString tip() const { return controller()->mainForm()->tipNote(); }
};

} // namespace

// The common cleaning of mail text: escape sequences go whole, other controls become blanks.
TEST(NewMailCommandClean, ControlAndBidiCharactersGoWhileTheTextStays)
{
    const struct
    {
        QString in;
        QString out;
    } rows[] = {
        {QStringLiteral("Invoice 42"), QStringLiteral("Invoice 42")},
        {QStringLiteral("$(rm -rf ~); `id` 'q' \"d\" |&>"), QStringLiteral("$(rm -rf ~); `id` 'q' \"d\" |&>")},
        {QStringLiteral("red\x1b[31m alert\x07"), QStringLiteral("red alert ")},
        {QStringLiteral("two\r\nlines\tand tab"), QStringLiteral("two  lines and tab")},
        {QStringLiteral("csi") + QChar(0x9B) + QStringLiteral("2J") + QChar(0x7F), QStringLiteral("csi ")},
        {QStringLiteral("invoice") + QChar(0x202E) + QStringLiteral("fdp.exe") + QChar(0x2066) + QChar(0x200F),
         QStringLiteral("invoicefdp.exe")},
        {QStringLiteral("nul") + QChar(0) + QStringLiteral("cut"), QStringLiteral("nul cut")},
        {QStringLiteral("Grüße 😀 Ünïcode"), QStringLiteral("Grüße 😀 Ünïcode")},
        {QStringLiteral("lone ") + QChar(0xD83D) + QStringLiteral("half"),
         QStringLiteral("lone ") + QChar(0xFFFD) + QStringLiteral("half")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(NewMailCommand::clean(row.in), row.out) << row.in.toStdString();

    // An endless subject is cut, never in the middle of a surrogate pair.
    const QString huge = QStringLiteral("a") + QString(100000, QChar(0x263A));
    EXPECT_EQ(NewMailCommand::clean(huge).size(), 4096);
    QString pairs;
    for (int i = 0; i < 3000; ++i)
        pairs += QStringLiteral("😀");
    const QString cut = NewMailCommand::clean(QStringLiteral("x") + pairs);
    EXPECT_LE(cut.size(), 4096);
    EXPECT_FALSE(cut.back().isHighSurrogate());
}

TEST_F(NewMailHook, TheMailReachesTheCommandOnlyThroughItsEnvironment)
{
    const QString script = writeEnvScript();
    const QString out = home.path() + QStringLiteral("/env out");
    setCommand(QStringLiteral("\"%1\" \"%2\"").arg(script, out));
    const QString subject = QStringLiteral("$(touch pwned); `touch pwned2` \x1b]0;owned\x07") + QChar(0x202E)
        + QStringLiteral("gpj.exe\nX-Injected: yes");
    ASSERT_TRUE(deliverAndWait(subject, QStringLiteral("Eve; rm -rf \"$HOME\"") + QChar(0x85)));

    const QHash<QString, QString> env = readEnv(out);
    EXPECT_EQ(env.value(QStringLiteral("LUMORA_SUBJECT")),
              QStringLiteral("$(touch pwned); `touch pwned2` gpj.exe X-Injected: yes"));
    EXPECT_EQ(env.value(QStringLiteral("LUMORA_SENDER")), QStringLiteral("Eve; rm -rf \"$HOME\" "));
    EXPECT_EQ(env.value(QStringLiteral("LUMORA_FOLDER")), QStringLiteral("Personal Folders"));
    EXPECT_EQ(env.value(QStringLiteral("LUMORA_COUNT")), QStringLiteral("1"));
    EXPECT_FALSE(env.contains(QStringLiteral("X-Injected")));
    EXPECT_TRUE(env.contains(QStringLiteral("HOME"))); // the rest of the environment is kept
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/pwned")));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/hook dir/pwned")));
    EXPECT_EQ(tip(), QString());
}

// One command for a whole scan, with the count of what it found.
TEST_F(NewMailHook, OneRunPerScanCountsItsMessages)
{
    const QString out = home.path() + QStringLiteral("/env");
    setCommand(QStringLiteral("\"%1\" \"%2\"").arg(writeEnvScript(), out));
    QSignalSpy done(controller()->newMailCommand(), &NewMailCommand::finished);
    for (int i = 0; i < 3; ++i)
        deliver(QStringLiteral("burst %1").arg(i), clock.now());
    clock.advance(5000);
    ASSERT_TRUE(done.wait(ProcessWaitMs));
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(readEnv(out).value(QStringLiteral("LUMORA_COUNT")), QStringLiteral("3"));
    EXPECT_EQ(readEnv(out).value(QStringLiteral("LUMORA_SUBJECT")), QStringLiteral("burst 2"));
}

TEST_F(NewMailHook, AFailingCommandIsToldOnceAndForgottenWhenItWorks)
{
    setCommand(QStringLiteral("/bin/sh -c \"exit 3\""));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(deliverAndWait(QStringLiteral("m%1").arg(i)));
        clock.advance(1500);
        for (int j = 0; j < 600 && controller()->mainForm()->popup()->isShowing(); ++j)
            clock.advance(100);
    }
    EXPECT_EQ(warnings(QStringLiteral("ended with exit status 3")), 1);
    EXPECT_TRUE(tip().contains(QStringLiteral("new-mail command failed"))) << tip().toStdString();
    EXPECT_TRUE(fileBytes(dataFolder() + QStringLiteral("/Lumora.log")).contains("exit status 3"));

    setCommand(QStringLiteral("/bin/true"));
    ASSERT_TRUE(deliverAndWait(QStringLiteral("works")));
    EXPECT_EQ(tip(), QString());
}

TEST_F(NewMailHook, ACommandThatCannotStartIsToldOnce)
{
    setCommand(QStringLiteral("/nonexistent/lumora-hook --flag"));
    ASSERT_TRUE(deliverAndWait(QStringLiteral("one")));
    clock.advance(60 * 1000);
    ASSERT_TRUE(deliverAndWait(QStringLiteral("two")));
    EXPECT_EQ(warnings(QStringLiteral("/nonexistent/lumora-hook cannot be started")), 1);
    EXPECT_TRUE(tip().contains(QStringLiteral("new-mail command failed")));
}
