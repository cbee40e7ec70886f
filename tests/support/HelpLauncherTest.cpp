#include "support/HelpLauncher.h"

#include "tests/testsupport/FakeProcessLauncher.h"
#include "tests/testsupport/PrivatePath.h"

#include <QFile>
#include <QProcess>
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

// A library folder with the English help and translations of its pages in de and fr; only
// the German one carries its own compiled file.
class TranslatedHelp : public HelpLaunch
{
protected:
    void SetUp() override
    {
        touch(helpFile());
        touch(startPage());
        touch(page(QStringLiteral("de")));
        touch(library.filePath(QStringLiteral("help/de/Lumora.chm")));
        touch(page(QStringLiteral("fr")));
    }
    QString page(const QString &language) const
    {
        return library.filePath(QStringLiteral("help/") + language + QStringLiteral("/index.html"));
    }
    QString folderFor(const QStringList &uiLanguages) const
    {
        return HelpLauncher::languageFolder(library.path(), uiLanguages);
    }
    bool openIn(const QStringList &uiLanguages)
    {
        return HelpLauncher::open(library.path(), uiLanguages, &number, &text);
    }
};

TEST_F(TranslatedHelp, FirstLanguageWithPagesWinsAndEnglishEndsTheSearch)
{
    // Region and script do not matter; Qt names de_AT "de-AT, de-Latn-AT" without a bare "de".
    EXPECT_EQ(folderFor({QStringLiteral("de-DE"), QStringLiteral("de-Latn-DE"), QStringLiteral("de")}),
              QStringLiteral("de"));
    EXPECT_EQ(folderFor({QStringLiteral("de-AT"), QStringLiteral("de-Latn-AT")}), QStringLiteral("de"));
    EXPECT_EQ(folderFor({QStringLiteral("fr_CA")}), QStringLiteral("fr"));
    // A language without pages passes on to the next one.
    EXPECT_EQ(folderFor({QStringLiteral("pt-BR"), QStringLiteral("pt"), QStringLiteral("fr-FR")}),
              QStringLiteral("fr"));
    // English, or the C locale, is a language the help has: a later German does not win over it.
    EXPECT_EQ(folderFor({QStringLiteral("en-GB"), QStringLiteral("de")}), QString());
    EXPECT_EQ(folderFor({QStringLiteral("C"), QStringLiteral("de")}), QString());
    EXPECT_EQ(folderFor({QStringLiteral("xx-YY")}), QString());
    EXPECT_EQ(folderFor({}), QString());
}

TEST_F(TranslatedHelp, OnlyAPlainLanguageCodeBecomesAFolder)
{
    // The languages come from the environment; nothing but two or three letters reaches a path
    // (here "help/.." holds a start page).
    touch(library.filePath(QStringLiteral("index.html")));
    for (const QString &hostile :
         {QStringLiteral(".."), QStringLiteral("../help/de"), QStringLiteral("/tmp"), QStringLiteral("d\u00e9"),
          QStringLiteral("index.html"), QStringLiteral("d"), QStringLiteral("deutsch"), QString()})
        EXPECT_EQ(folderFor({hostile}), QString()) << hostile.toStdString();
    EXPECT_EQ(folderFor({QStringLiteral("DE-de")}), QStringLiteral("de"));
}

TEST_F(TranslatedHelp, ViewerGetsTheTranslatedFileWhereThereIsOne)
{
    install(QStringLiteral("xchm"));
    ASSERT_TRUE(openIn({QStringLiteral("de-DE")}));
    ASSERT_TRUE(openIn({QStringLiteral("fr-FR")}));
    ASSERT_TRUE(openIn({QStringLiteral("en-US")}));
    ASSERT_EQ(launcher.calls.size(), 3);
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{library.filePath(QStringLiteral("help/de/Lumora.chm"))});
    // French has pages but no compiled file of its own: the viewer shows the English one.
    EXPECT_EQ(launcher.calls[1].arguments, QStringList{helpFile()});
    EXPECT_EQ(launcher.calls[2].arguments, QStringList{helpFile()});
}

TEST_F(TranslatedHelp, BrowserGetsTheTranslatedStartPage)
{
    install(QStringLiteral("xdg-open"));
    ASSERT_TRUE(openIn({QStringLiteral("fr-FR"), QStringLiteral("fr")}));
    ASSERT_TRUE(openIn({QStringLiteral("de-CH")}));
    ASSERT_TRUE(openIn({QStringLiteral("it-IT")}));
    ASSERT_EQ(launcher.calls.size(), 3);
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{page(QStringLiteral("fr"))});
    EXPECT_EQ(launcher.calls[1].arguments, QStringList{page(QStringLiteral("de"))});
    EXPECT_EQ(launcher.calls[2].arguments, QStringList{startPage()});

    // The English compiled file is what marks the help as installed, in any language.
    QFile::remove(helpFile());
    EXPECT_FALSE(openIn({QStringLiteral("de-DE")}));
    EXPECT_EQ(number, 2);
    EXPECT_EQ(launcher.calls.size(), 3);
}

// The language as a desktop session sets it, through Qt's reading of the environment, in a
// process of its own (Qt reads the environment once).
TEST_F(TranslatedHelp, LanguageFollowsTheLocaleVariables)
{
    struct Case
    {
        QStringList variables;
        QString folder;
    };
    const QList<Case> cases = {
        {{QStringLiteral("LANG=de_DE.UTF-8")}, QStringLiteral("de")},
        {{QStringLiteral("LANG=fr_FR.UTF-8")}, QStringLiteral("fr")},
        {{QStringLiteral("LANG=en_US.UTF-8")}, QString()},
        {{QStringLiteral("LANG=xx_YY.UTF-8")}, QString()},
        {{QStringLiteral("LANG=C.UTF-8")}, QString()},
        {{QStringLiteral("LANG=de_DE.UTF-8"), QStringLiteral("LC_MESSAGES=fr_FR.UTF-8")}, QStringLiteral("fr")},
        {{QStringLiteral("LANG=fr_FR.UTF-8"), QStringLiteral("LC_ALL=de_AT.UTF-8")}, QStringLiteral("de")},
        {{QStringLiteral("LANG=de_DE.UTF-8"), QStringLiteral("LANGUAGE=fr:de")}, QStringLiteral("fr")},
        {{QStringLiteral("LANG=de_DE.UTF-8"), QStringLiteral("LANGUAGE=en_GB:de")}, QString()},
    };
    for (const Case &c : cases) {
        QStringList environment;
        for (const QString &entry : QProcess::systemEnvironment()) {
            if (!entry.startsWith(QLatin1String("LANG")) && !entry.startsWith(QLatin1String("LC_")))
                environment.append(entry);
        }
        environment += c.variables;
        QProcess probe;
        probe.setEnvironment(environment);
        probe.start(QStringLiteral(LUMORA_HELP_LANGUAGE_PROBE), {library.path()});
        ASSERT_TRUE(probe.waitForFinished(10000));
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), c.folder)
            << c.variables.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(HelpShellError, NumberIsSignedWithABlankOrMinus)
{
    EXPECT_EQ(HelpLauncher::shellError(2, QStringLiteral("File not found")),
              QStringLiteral("Shell Error: 2,File not found"));
    EXPECT_EQ(HelpLauncher::shellError(-5, QStringLiteral("x")), QStringLiteral("Shell Error:-5,x"));
}

} // namespace
