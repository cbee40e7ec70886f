#include "tests/translations/TsCheck.h"
#include "translations/AppTranslator.h"
#include "tray/Main.h"

#include "tests/testsupport/VirtualClock.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSet>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::TsCheck;

namespace {

// Takes every translator off the application again, so that each test starts in English.
void removeTranslators()
{
    for (QTranslator *t : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QStringList captions(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            out << action->text();
    }
    return out;
}

// Two items of one menu that share an accelerator make the key ambiguous.
QStringList clashingAccelerators(const QMenu *menu)
{
    QStringList out;
    QSet<QChar> seen;
    for (const QString &caption : captions(menu)) {
        const QChar key = TsCheck::acceleratorKey(caption);
        if (key.isNull())
            continue;
        if (seen.contains(key))
            out << caption;
        seen.insert(key);
    }
    return out;
}

QMenu *snoozeMenu(const QMenu *tray)
{
    for (const QAction *action : tray->actions()) {
        if (action->menu())
            return action->menu();
    }
    return nullptr;
}

QString helpOutput(const QString &lang)
{
    QProcess lumora;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LANGUAGE"));
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_MESSAGES"));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    lumora.setProcessEnvironment(env);
    lumora.start(QStringLiteral(LUMORA_BINARY), {QStringLiteral("--help")});
    if (!lumora.waitForFinished(20000))
        return QStringLiteral("(lumora --help did not finish)");
    return QString::fromUtf8(lumora.readAllStandardOutput());
}

class TranslationTest : public ::testing::TestWithParam<QString>
{
protected:
    void TearDown() override { removeTranslators(); }
    VirtualClockScope clock;
};

} // namespace

// The check the lead reruns after others add strings: `ctest -R translation_tests` after
// `ninja update_translations` names each message still to translate.
TEST_P(TranslationTest, EveryMessageIsTranslatedWithItsAcceleratorAndPlaceholders)
{
    const QString ts = QStringLiteral(LUMORA_TRANSLATIONS_DIR "/lumora_%1.ts").arg(GetParam());
    const QStringList found = TsCheck::problems(ts);
    EXPECT_TRUE(found.isEmpty()) << found.size() << " problem(s):\n" << found.join(QLatin1Char('\n')).toStdString();
}

TEST_P(TranslationTest, TheTrayMenuSpeaksTheLocalesLanguageWithUniqueAccelerators)
{
    ASSERT_TRUE(AppTranslator::install(*qApp, QLocale(GetParam())));
    Main main;
    const QStringList translated = captions(main.trayMenu());
    EXPECT_FALSE(translated.contains(QStringLiteral("&Quit Lumora"))) << translated.join(", ").toStdString();
    EXPECT_FALSE(translated.contains(QStringLiteral("Mar&k All as Read")));
    EXPECT_EQ(clashingAccelerators(main.trayMenu()), QStringList()) << translated.join(", ").toStdString();
    ASSERT_NE(snoozeMenu(main.trayMenu()), nullptr);
    EXPECT_EQ(clashingAccelerators(snoozeMenu(main.trayMenu())), QStringList());
    EXPECT_FALSE(captions(snoozeMenu(main.trayMenu())).contains(QStringLiteral("Until Tomorrow")));
}

TEST_P(TranslationTest, TheExecutableFollowsLang)
{
    QTranslator expected;
    ASSERT_TRUE(expected.load(AppTranslator::resourceFile(GetParam())));
    const QString demo = expected.translate("main", "Run on the built-in demo store.");
    ASSERT_FALSE(demo.isEmpty());
    ASSERT_NE(demo, QStringLiteral("Run on the built-in demo store."));
    const QString locale =
        GetParam() == QLatin1String("de") ? QStringLiteral("de_DE.UTF-8") : QStringLiteral("fr_FR.UTF-8");
    const QString out = helpOutput(locale);
    EXPECT_TRUE(out.contains(demo)) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("Run on the built-in demo store."))) << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslationTest, ::testing::Values(QStringLiteral("de"), QStringLiteral("fr")),
                         [](const ::testing::TestParamInfo<QString> &language) {
                             return language.param.toStdString();
                         });

TEST(EnglishRunTest, EnglishAndUnknownLanguagesKeepTheSourceTexts)
{
    VirtualClockScope clock;
    EXPECT_FALSE(AppTranslator::install(*qApp, QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_FALSE(AppTranslator::install(*qApp, QLocale::c()));
    EXPECT_FALSE(AppTranslator::install(*qApp, QLocale(QLocale::Swahili)));
    EXPECT_TRUE(qApp->findChildren<QTranslator *>().isEmpty());
    Main main;
    const QStringList english = captions(main.trayMenu());
    EXPECT_TRUE(english.contains(QStringLiteral("Mar&k All as Read")));
    EXPECT_TRUE(english.contains(QStringLiteral("&Quit Lumora")));
    EXPECT_TRUE(english.contains(QStringLiteral("Hide Outlook")));
    removeTranslators();
}

TEST(EnglishRunTest, TheExecutableSpeaksEnglishUnderTheCLocale)
{
    const QString out = helpOutput(QStringLiteral("C.UTF-8"));
    EXPECT_TRUE(out.contains(QStringLiteral("Run on the built-in demo store."))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Ask the running Lumora to quit.")));
}

TEST(ShippedLanguagesTest, GermanAndFrenchAreEmbedded)
{
    EXPECT_EQ(AppTranslator::languages(), (QStringList{"de", "fr"}));
}
