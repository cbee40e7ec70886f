// What the add-in says when it cannot do its job: watching nothing, actions on messages
// that are gone. Each failure reaches the log, standard error and, while Lumora keeps
// running, the tray icon's tip.
#include "tests/addin/AddInFixture.h"

#include "tray/Main.h"

#include <QFile>
#include <QRegularExpression>

using namespace lumora;
using namespace lumora::test;

namespace {

class FailureReport : public AddInFixture
{
protected:
    QStringList warnings() const { return trace.filter(QRegularExpression(QStringLiteral("^warning: "))); }
    QByteArray log() const
    {
        QFile f(dataFolder() + QStringLiteral("/Lumora.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString tip() const { return controller()->mainForm()->tipNote(); }
};

} // namespace

TEST_F(FailureReport, AGarbageIniIsSaidToWatchNothing)
{
    static const char garbage[] = "\x01\x02\xff garbage \0\0 ]]]\n=\n";
    setTemplateIni(QByteArray(garbage, sizeof garbage - 1));
    connectAddIn();
    ASSERT_EQ(warnings().size(), 1) << trace.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("No folder is watched:")));
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("lists none in its [EntryID] section")));
    EXPECT_TRUE(log().contains("No folder is watched:"));
    EXPECT_EQ(tip(), QStringLiteral("no folders watched: open Options"));
}

TEST_F(FailureReport, FoldersThatCannotBeOpenedAreSaidToWatchNothing)
{
    setTemplateIni("[Setup]\nInit=0\n\n[EntryID]\nEID0=DEAD|BEEF\n");
    connectAddIn();
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("none of the 1 folder(s)")));
}

TEST_F(FailureReport, AWatchedInboxIsNoProblem)
{
    connectAddIn();
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(tip().isEmpty());
}

TEST_F(FailureReport, ActionsOnAVanishedMessageFailAndSayWhy)
{
    connectAddIn();
    MemoryItemPtr item = deliver(QStringLiteral("hello"), clock.now());
    const QString id = item->EntryID();
    EXPECT_TRUE(controller()->DeleteMailMessage(id, inbox->StoreID()));
    EXPECT_TRUE(controller()->lastActionError().isEmpty());

    EXPECT_FALSE(controller()->DeleteMailMessage(id, inbox->StoreID()));
    EXPECT_TRUE(controller()->lastActionError().contains(QStringLiteral("no longer exists")));
    EXPECT_FALSE(controller()->ShowMailMessage(id, inbox->StoreID()));
    ASSERT_EQ(warnings().size(), 2);
    EXPECT_TRUE(warnings()[0].startsWith(QStringLiteral("warning: Cannot delete message ") + id));
    EXPECT_TRUE(warnings()[1].startsWith(QStringLiteral("warning: Cannot open message ") + id));
    EXPECT_TRUE(log().contains("DeleteMailMessage"));
    EXPECT_TRUE(log().contains("ShowMailMessage"));
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 0);

    // The test popup names no message: nothing to do, nothing to report.
    EXPECT_TRUE(controller()->ShowMailMessage(QString(), QString()));
    EXPECT_EQ(warnings().size(), 2);
}
