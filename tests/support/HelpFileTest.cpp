// The compiled help file, read back with an independent CHM reader (extract_chmLib): every
// file the project lists is inside, byte for byte, and every page the contents name exists.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The [FILES] section of the help project.
QStringList projectFiles()
{
    QStringList files;
    bool inFiles = false;
    const QString project = QString::fromUtf8(readAll(QStringLiteral(LUMORA_HELP_SOURCE "/Lumora.hhp")));
    for (const QString &raw : project.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inFiles = line == QLatin1String("[FILES]");
        else if (inFiles && !line.isEmpty())
            files.append(line);
    }
    return files;
}

TEST(HelpFile, IndependentReaderFindsEveryPage)
{
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("extract_chmLib"));
    ASSERT_FALSE(reader.isEmpty()) << "extract_chmLib (package libchm-bin) is needed";
    QTemporaryDir out;
    QProcess extract;
    extract.start(reader, {QStringLiteral(LUMORA_HELP_FILE), out.path()});
    ASSERT_TRUE(extract.waitForFinished(60000));
    ASSERT_EQ(extract.exitCode(), 0) << extract.readAllStandardError().toStdString();

    const QStringList files = projectFiles();
    ASSERT_GE(files.size(), 8);
    for (const QString &name : files) {
        const QByteArray inside = readAll(QDir(out.path()).filePath(name));
        EXPECT_FALSE(inside.isEmpty()) << name.toStdString();
        EXPECT_EQ(inside, readAll(QStringLiteral(LUMORA_HELP_SOURCE "/") + name)) << name.toStdString();
    }

    // Every topic of the contents and every link between pages leads to a page inside.
    const QRegularExpression local(QStringLiteral(R"(name="Local" value="([^"]+)\")"));
    const QRegularExpression href(QStringLiteral(R"(href="([^"#:]+)\")"));
    int topics = 0;
    for (const auto &match :
         local.globalMatch(QString::fromUtf8(readAll(out.filePath(QStringLiteral("Lumora.hhc")))))) {
        ++topics;
        EXPECT_TRUE(QFile::exists(out.filePath(match.captured(1)))) << match.captured(1).toStdString();
    }
    EXPECT_EQ(topics, 8);
    for (const QString &name : files) {
        if (!name.endsWith(QLatin1String(".html")))
            continue;
        for (const auto &match : href.globalMatch(QString::fromUtf8(readAll(out.filePath(name)))))
            EXPECT_TRUE(QFile::exists(out.filePath(match.captured(1))))
                << name.toStdString() << " -> " << match.captured(1).toStdString();
    }
}

} // namespace
