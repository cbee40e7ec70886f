#include "support/HelpLauncher.h"

#include "tests/testsupport/FakeProcessLauncher.h"
#include "tests/testsupport/PrivatePath.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::FakeProcessLauncher;
using lumora::test::PrivatePath;
using lumora::test::writeFile;

namespace {

void touch(const QString &path)
{
    ASSERT_TRUE(writeFile(path, "x"));
}

// A private PATH holding only the programs a case installs.
class HelpLaunch : public ::testing::Test
{
protected:
    void install(const QString &program) { bin.install(program); }
    QString helpFile() const { return library.filePath(HelpLauncher::HelpFileName); }
    QString startPage() const { return library.filePath(QStringLiteral("help/index.html")); }

    bool open() { return HelpLauncher::open(library.path(), &number, &text); }

    PrivatePath bin;
    QTemporaryDir library;
    FakeProcessLauncher launcher;
    int number = 0;
    QString text;
};

TEST_F(HelpLaunch, CompiledHelpViewerComesFirst)
{
    touch(helpFile());
    touch(startPage());
    install(QStringLiteral("xdg-open"));
    install(QStringLiteral("kchmviewer"));
    ASSERT_TRUE(open());
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, bin.filePath(QStringLiteral("kchmviewer")));
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{helpFile()});

    install(QStringLiteral("xchm"));
    ASSERT_TRUE(open());
    EXPECT_EQ(launcher.calls[1].program, bin.filePath(QStringLiteral("xchm")));
}

TEST_F(HelpLaunch, BrowserShowsThePagesWithoutAViewer)
{
    touch(helpFile());
    touch(startPage());
    install(QStringLiteral("xdg-open"));
    ASSERT_TRUE(open());
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, bin.filePath(QStringLiteral("xdg-open")));
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{startPage()});
}

TEST_F(HelpLaunch, MissingFileOrViewerFailsBeforeStartingAnything)
{
    install(QStringLiteral("xchm"));
    EXPECT_FALSE(open());
    EXPECT_EQ(number, 2);
    EXPECT_TRUE(text.contains(helpFile())) << text.toStdString();

    // The file is there, but neither a viewer nor the pages and a browser.
    touch(helpFile());
    QFile::remove(bin.filePath(QStringLiteral("xchm")));
    install(QStringLiteral("xdg-open"));
    EXPECT_FALSE(open());
    EXPECT_EQ(number, 2);
    EXPECT_TRUE(launcher.calls.isEmpty());
}

TEST_F(HelpLaunch, AFailedStartIsPassedOn)
{
    touch(helpFile());
    install(QStringLiteral("xchm"));
    launcher.fail = true;
    EXPECT_FALSE(open());
    EXPECT_EQ(number, 2);
    EXPECT_EQ(text, QStringLiteral("File not found"));
}

TEST(HelpShellError, NumberIsSignedWithABlankOrMinus)
{
    EXPECT_EQ(HelpLauncher::shellError(2, QStringLiteral("File not found")),
              QStringLiteral("Shell Error: 2,File not found"));
    EXPECT_EQ(HelpLauncher::shellError(-5, QStringLiteral("x")), QStringLiteral("Shell Error:-5,x"));
}

} // namespace
