// Saving user data: a save replaces the file whole or leaves the old one as it was, says why
// it failed, and never leaves a temporary file behind.
#include "platform/core/AtomicFile.h"

#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString &path)
{
    struct stat st
    {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class AtomicFileTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QStringList entries() const
    {
        QStringList names =
            QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.sort(Qt::CaseSensitive);
        return names;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(AtomicFileTest, ReplacesTheFileKeepingItsModeAndALinkToIt)
{
    const QString file = path("settings.reg");
    const mode_t oldMask = ::umask(022);
    ASSERT_TRUE(AtomicFile::write(file, "first"));
    ::umask(oldMask);
    EXPECT_EQ(bytesOf(file), "first");
    EXPECT_EQ(modeOf(file), mode_t(0644));

    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
    const QByteArray big(200 * 1024, 'b');
    const AtomicFile::Result saved = AtomicFile::write(file, big);
    EXPECT_TRUE(saved.ok);
    EXPECT_TRUE(saved.error.isEmpty());
    EXPECT_EQ(bytesOf(file), big);
    EXPECT_EQ(modeOf(file), mode_t(0600));

    // Through a link the target is replaced and the link stays a link.
    const QString link = path("link.reg");
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(AtomicFile::write(link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(file), "through the link");
    EXPECT_EQ(entries(), QStringList({QStringLiteral("link.reg"), QStringLiteral("settings.reg")}));
}

TEST_F(AtomicFileTest, AFailedSaveLeavesTheOldFileWholeAndSaysWhy)
{
    const QString file = path("Lumora.ini");
    ASSERT_TRUE(AtomicFile::write(file, "[EntryID]\nEID0=old\n"));

    {
        // The limit lets part of the content through: the write stops short, then fails.
        test::FullDisk full(4096);
        const AtomicFile::Result saved = AtomicFile::write(file, QByteArray(64 * 1024, 'x'));
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.error, QStringLiteral("File too large"));
    }
    EXPECT_EQ(bytesOf(file), "[EntryID]\nEID0=old\n");
    EXPECT_EQ(entries(), QStringList{QStringLiteral("Lumora.ini")});

    // A folder that may not be written (also checked as an ordinary user when run as root).
    QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x5555));
    {
        test::Unprivileged unprivileged;
        const AtomicFile::Result saved = AtomicFile::write(file, "new");
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.error, QStringLiteral("Permission denied"));
    }
    QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7700));
    EXPECT_EQ(bytesOf(file), "[EntryID]\nEID0=old\n");

    // A folder where the file belongs is not replaced, and nothing is left beside it.
    const QString folder = path("folder");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    EXPECT_FALSE(AtomicFile::write(folder, "x").ok);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(entries(), QStringList({QStringLiteral("Lumora.ini"), QStringLiteral("folder")}));

    // A missing folder is reported, not created.
    const AtomicFile::Result missing = AtomicFile::write(path("nowhere/file"), "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, QStringLiteral("No such file or directory"));
}
