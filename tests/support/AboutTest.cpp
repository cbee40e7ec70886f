#include "platform/core/Registry.h"
#include "support/HelpLauncher.h"
#include "support/frmAbout.h"

#include "tests/testsupport/FakeProcessLauncher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::reg;
using lumora::test::FakeProcessLauncher;

namespace {

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// Answers the message box itself and counts what it was asked to show.
class TestAbout : public frmAbout
{
public:
    using frmAbout::frmAbout;
    QStringList messages;

protected:
    void MsgBox(const QString &text) override { messages.append(text); }
};

void setValue(const QString &key, const QString &name, DWORD type, const QByteArray &bytes)
{
    HKEY handle = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &handle), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(handle, name, 0, type, reinterpret_cast<const unsigned char *>(bytes.constData()),
                             DWORD(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

void setText(const QString &key, const QString &name, const QString &text)
{
    // Stored as the text calls store it: with its terminating NUL.
    setValue(key, name, REG_SZ, text.toUtf8() + '\0');
}

class About : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPathKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLocationKey);
    }

    bool getKeyValue(const QString &key, const QString &name, QString &result)
    {
        HKEY root = HKEY_LOCAL_MACHINE;
        QString keyName = key;
        QString valueName = name;
        return box.GetKeyValue(root, keyName, valueName, result);
    }

    FakeProcessLauncher launcher;
    TestAbout box{QStringLiteral("Lumora Add-in DLL"), QString()};
    QTemporaryDir folder;
};

TEST_F(About, SysInfoUnregisteredSaysSoOnceAndStaysOpen)
{
    box.show();
    box.StartSysInfo();
    EXPECT_EQ(box.messages, QStringList{kUnavailable});
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_TRUE(box.isVisible());
}

TEST_F(About, SysInfoProgramInRegisteredFolderIsStarted)
{
    const QString program = folder.filePath(QStringLiteral("MSINFO32.EXE"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    setText(kLocationKey, QStringLiteral("MSINFO"), folder.path());

    box.StartSysInfo();
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, program);
    EXPECT_TRUE(box.messages.isEmpty());
}

TEST_F(About, SysInfoFolderWithoutTheProgramSaysUnavailable)
{
    setText(kLocationKey, QStringLiteral("MSINFO"), folder.path());
    box.StartSysInfo();
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_EQ(box.messages, QStringList{kUnavailable});
}

TEST_F(About, SysInfoRegisteredPathWinsAndAFailedStartIsReported)
{
    setText(kPathKey, QStringLiteral("PATH"), QStringLiteral("/usr/bin/hardinfo"));
    setText(kLocationKey, QStringLiteral("MSINFO"), folder.path());
    box.StartSysInfo();
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, QStringLiteral("/usr/bin/hardinfo"));
    EXPECT_TRUE(box.messages.isEmpty());

    launcher.fail = true;
    box.StartSysInfo();
    EXPECT_EQ(box.messages, QStringList{kUnavailable});
}

TEST_F(About, SysInfoPathOfAnotherTypeStartsNothing)
{
    setValue(kPathKey, QStringLiteral("PATH"), REG_BINARY, QByteArray("\x01\x02", 2));
    box.StartSysInfo();
    EXPECT_TRUE(launcher.calls.isEmpty());
    EXPECT_EQ(box.messages, QStringList{kUnavailable});
}

TEST_F(About, GetKeyValueReadsTextNumbersAndLeavesOtherTypes)
{
    QString value = QStringLiteral("old");
    setText(kPathKey, QStringLiteral("PATH"), QStringLiteral("/opt/info"));
    EXPECT_TRUE(getKeyValue(kPathKey, QStringLiteral("PATH"), value));
    EXPECT_EQ(value, QStringLiteral("/opt/info"));
    EXPECT_EQ(value.size(), 9); // the stored NUL is cut

    // A text stored without its NUL keeps its last character.
    setValue(kPathKey, QStringLiteral("Bare"), REG_SZ, "abc");
    EXPECT_TRUE(getKeyValue(kPathKey, QStringLiteral("Bare"), value));
    EXPECT_EQ(value, QStringLiteral("abc"));

    setValue(kPathKey, QStringLiteral("Number"), REG_DWORD, QByteArray("\x05\x01\x00\x00", 4));
    EXPECT_TRUE(getKeyValue(kPathKey, QStringLiteral("Number"), value));
    EXPECT_EQ(value, QStringLiteral("261"));

    value = QStringLiteral("kept");
    setValue(kPathKey, QStringLiteral("Blob"), REG_BINARY, QByteArray("\x07", 1));
    EXPECT_TRUE(getKeyValue(kPathKey, QStringLiteral("Blob"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));
}

TEST_F(About, GetKeyValueFailsWithEmptyTextWhenNothingFits)
{
    QString value = QStringLiteral("old");
    EXPECT_FALSE(getKeyValue(kPathKey, QStringLiteral("PATH"), value));
    EXPECT_TRUE(value.isEmpty());

    setText(kPathKey, QStringLiteral("Other"), QStringLiteral("x"));
    value = QStringLiteral("old");
    EXPECT_FALSE(getKeyValue(kPathKey, QStringLiteral("PATH"), value));
    EXPECT_TRUE(value.isEmpty());

    // More than the 1024-byte buffer holds.
    setText(kPathKey, QStringLiteral("Long"), QString(1100, QLatin1Char('a')));
    value = QStringLiteral("old");
    EXPECT_FALSE(getKeyValue(kPathKey, QStringLiteral("Long"), value));
    EXPECT_TRUE(value.isEmpty());
}

TEST(AboutBox, ShowsTitleAndTheBuiltLibrarysOwnVersion)
{
    frmAbout box(QStringLiteral("Lumora Add-in DLL"), QStringLiteral(LUMORA_ADDIN_LIBRARY));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Lumora Add-in DLL"));
    EXPECT_EQ(box.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Lumora Add-in DLL"));
    EXPECT_EQ(box.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.6.5"));
    auto *ok = box.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(box.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(box.findChild<QPushButton *>(QStringLiteral("btnHelp"))->text(), QStringLiteral("Help..."));

    // A file without version data is not given a made-up number.
    frmAbout plain(QStringLiteral("X"), QCoreApplication::applicationFilePath());
    EXPECT_EQ(plain.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version unknown"));
}

TEST(AboutBox, EnterAndEscapeBothCloseIt)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout box(QStringLiteral("Lumora Add-in DLL"), QString());
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << int(key);
    }
}

TEST(AboutBox, ModalBoxReturnsFromExecOnOk)
{
    frmAbout box(QStringLiteral("Lumora Add-in for Outlook"), QString());
    QTimer::singleShot(0, &box, [&box] { box.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); });
    box.exec();
    EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, RealMessageBoxAppearsOnceForUnavailableSysInfo)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPathKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLocationKey);
    FakeProcessLauncher launcher;
    frmAbout box(QStringLiteral("Lumora Add-in DLL"), QString());
    box.show();
    int boxes = 0;
    QString text;
    // The message box is modal; answer it from the event loop it runs.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *message = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ++boxes;
            text = message->text();
            message->accept();
        }
    });
    answer.start(10);
    box.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    answer.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text, kUnavailable);
    EXPECT_TRUE(box.isVisible());
}

TEST(AboutBox, FailedHelpLaunchLogsOneShellError)
{
    QTemporaryDir folder; // no help file in it
    frmAbout box(QStringLiteral("Lumora Add-in DLL"), folder.filePath(QStringLiteral("LumoraAddIn.so")));
    struct Entry
    {
        int level;
        QString procedure;
        QString message;
    };
    QList<Entry> log;
    box.setLog([&log](int level, const QString &procedure, const QString &message) {
        log.append({level, procedure, message});
    });
    FakeProcessLauncher launcher;
    box.findChild<QPushButton *>(QStringLiteral("btnHelp"))->click();
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0].level, 4);
    EXPECT_EQ(log[0].procedure, QStringLiteral("btnHelp_Click"));
    EXPECT_TRUE(log[0].message.startsWith(QStringLiteral("Shell Error: 2,"))) << log[0].message.toStdString();
    EXPECT_TRUE(launcher.calls.isEmpty());
}

} // namespace
