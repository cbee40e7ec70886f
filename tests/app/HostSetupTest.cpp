#include "app/MailClientIdentity.h"
#include "app/SysInfoRegistration.h"
#include "settings/modRegistry.h"

#include "tests/testsupport/PrivatePath.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::PrivatePath;
using lumora::test::writeFile;

namespace {

// A private PATH and applications folder; the registry values these tests touch are
// cleared around each.
class HostSetup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldDataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", data.path().toLocal8Bit());
        clear();
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_DIRS", m_oldDataDirs);
        clear();
    }
    static void clear()
    {
        reg::RegDeleteKeyA(reg::HKEY_CURRENT_USER, MailClientIdentity::SettingsKey);
        reg::RegDeleteKeyA(reg::HKEY_LOCAL_MACHINE, SysInfoRegistration::Key);
    }
    void installMailtoHandler(const QString &desktopId, const QByteArray &entry)
    {
        bin.install(QStringLiteral("xdg-mime"),
                    "#!/bin/sh\n[ \"$*\" = \"query default x-scheme-handler/mailto\" ] && echo " + desktopId.toUtf8()
                        + "\n");
        writeFile(data.filePath(QStringLiteral("applications/") + desktopId), entry);
    }
    QString registeredSysInfo() const
    {
        return modRegistry::ReadRegistryValue(reg::HKEY_LOCAL_MACHINE, SysInfoRegistration::Key,
                                              SysInfoRegistration::Value)
            .toString();
    }

    PrivatePath bin;
    QTemporaryDir data;

private:
    QByteArray m_oldDataDirs;
};

TEST_F(HostSetup, DesktopEntryNamesTheWindowClass)
{
    const QString path = data.filePath(QStringLiteral("e.desktop"));
    writeFile(path,
              "[Desktop Entry]\nName=Mail\nExec=thunderbird %u\nStartupWMClass=Thunderbird-Mail\n"
              "[Desktop Action Compose]\nStartupWMClass=wrong\n");
    EXPECT_EQ(MailClientIdentity::classFromDesktopEntry(path), QStringLiteral("Thunderbird-Mail"));

    writeFile(path,
              "[Desktop Action Compose]\nExec=wrong --compose\n[Desktop Entry]\n"
              "Exec=env GTK_THEME=Adwaita /usr/bin/evolution --component=mail %U\n");
    EXPECT_EQ(MailClientIdentity::classFromDesktopEntry(path), QStringLiteral("evolution"));

    writeFile(path, "[Desktop Entry]\nName=Nothing to run\n");
    EXPECT_TRUE(MailClientIdentity::classFromDesktopEntry(path).isEmpty());
    EXPECT_TRUE(MailClientIdentity::classFromDesktopEntry(data.filePath(QStringLiteral("missing.desktop"))).isEmpty());
}

TEST_F(HostSetup, ClientComesFromCommandLineThenSettingThenMailtoHandler)
{
    installMailtoHandler(QStringLiteral("claws-mail.desktop"), "[Desktop Entry]\nExec=claws-mail %u\n");
    QString source;
    EXPECT_EQ(MailClientIdentity::resolve(QString(), &source), QStringLiteral("claws-mail"));
    EXPECT_EQ(source, QStringLiteral("mailto handler claws-mail.desktop"));

    // Named once on the command line, it is kept for later starts.
    EXPECT_EQ(MailClientIdentity::resolve(QStringLiteral("thunderbird"), &source), QStringLiteral("thunderbird"));
    EXPECT_EQ(MailClientIdentity::resolve(QString(), &source), QStringLiteral("thunderbird"));
    EXPECT_EQ(source, QStringLiteral("setting"));
}

TEST_F(HostSetup, NoHandlerOrAStrangeAnswerGivesNoClient)
{
    EXPECT_TRUE(MailClientIdentity::resolve(QString()).isEmpty());
    // An answer that climbs out of the applications folder is not followed.
    installMailtoHandler(QStringLiteral("x.desktop"), "[Desktop Entry]\nExec=x\n");
    bin.install(QStringLiteral("xdg-mime"), "#!/bin/sh\necho ../evil.desktop\n");
    writeFile(data.filePath(QStringLiteral("evil.desktop")), "[Desktop Entry]\nExec=evil\n");
    EXPECT_TRUE(MailClientIdentity::resolve(QString()).isEmpty());
}

TEST_F(HostSetup, SysInfoProgramIsRegisteredWhenInstalled)
{
    EXPECT_TRUE(SysInfoRegistration::registerInstalled().isEmpty());
    EXPECT_TRUE(registeredSysInfo().isEmpty());

    bin.install(QStringLiteral("hardinfo"));
    EXPECT_EQ(SysInfoRegistration::registerInstalled(), bin.filePath(QStringLiteral("hardinfo")));
    EXPECT_EQ(registeredSysInfo(), bin.filePath(QStringLiteral("hardinfo")));

    // A program the user registered is kept while it exists; a vanished one is replaced.
    const QString own = data.filePath(QStringLiteral("my-sysinfo"));
    writeFile(own, "#!/bin/sh\n", true);
    modRegistry::WriteRegistryValue(reg::HKEY_LOCAL_MACHINE, SysInfoRegistration::Key, SysInfoRegistration::Value, own,
                                    reg::REG_SZ);
    EXPECT_EQ(SysInfoRegistration::registerInstalled(), own);
    QFile::remove(own);
    EXPECT_EQ(SysInfoRegistration::registerInstalled(), bin.filePath(QStringLiteral("hardinfo")));
}

} // namespace
