// Every side tells the user through one reporter: what it says on standard error, in its
// log, below the tray tip and in a box must agree, and a standing problem is told once.
#include "platform/desktop/ProblemReporter.h"

#include "platform/desktop/NotifyIconHost.h"
#include "tests/testsupport/FakeNotifyIconHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

struct Told
{
    QStringList said;
    QStringList logged; // "level procedure: text"

    ProblemReporter reporter(const QString &procedure)
    {
        return ProblemReporter(
            procedure,
            [this](int level, const QString &where, const QString &text) {
                logged << QStringLiteral("%1 %2: %3").arg(level).arg(where, text);
            },
            [this](const QString &text) { said << text; });
    }
};

QMessageBox *openBox(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->objectName() == name && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

TEST(ProblemReporter, AFailureIsSaidAndLoggedAtItsLevel)
{
    Told told;
    told.reporter(QStringLiteral("Compose")).tell(QStringLiteral("Cannot compose"), 4);
    EXPECT_EQ(told.said, QStringList{QStringLiteral("Cannot compose")});
    EXPECT_EQ(told.logged, QStringList{QStringLiteral("4 Compose: Cannot compose")});
}

TEST(ProblemReporter, AStandingProblemIsToldOnceAndItsEndOnlyAfterIt)
{
    FakeNotifyIconHost tray;
    Told told;
    ProblemReporter reporter = told.reporter(QStringLiteral("MailHost"));
    // A clean start says nothing.
    reporter.setStanding(QString());
    EXPECT_TRUE(told.said.isEmpty());

    reporter.setStanding(QStringLiteral("imap.example.org cannot be reached"));
    reporter.setStanding(QStringLiteral("imap.example.org cannot be reached"));
    ASSERT_EQ(told.said.size(), 1);
    EXPECT_EQ(NotifyIconHost::instance().statusNote(), QStringLiteral("imap.example.org cannot be reached"));
    EXPECT_TRUE(told.logged.at(0).startsWith(QStringLiteral("1 MailHost: ")));

    reporter.setStanding(QString());
    ASSERT_EQ(told.said.size(), 2);
    EXPECT_TRUE(told.said.at(1).contains(QStringLiteral("over")));
    EXPECT_TRUE(told.logged.at(1).startsWith(QStringLiteral("3 MailHost: ")));
    EXPECT_TRUE(NotifyIconHost::instance().statusNote().isEmpty());
}

TEST(ProblemReporter, ABoxShowsTheTextAsItCameNeverAsMarkup)
{
    Told told;
    QWidget parent;
    const QString text = QStringLiteral("Cannot open <b>Re: &amp;</b>");
    told.reporter(QStringLiteral("Open"))
        .tellInBox(text, &parent, QStringLiteral("msgFailed"), ProblemReporter::Box::Open);
    QMessageBox *box = openBox(QStringLiteral("msgFailed"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), text);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(told.said, QStringList{text});
    box->accept();
}
