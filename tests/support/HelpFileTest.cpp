// The compiled help files (English and each translation), read back with an independent CHM
// reader (extract_chmLib): every file the project lists is inside, byte for byte, and every
// page the contents name exists.
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

// The [FILES] section of the help project in folder.
QStringList projectFiles(const QString &folder)
{
    QStringList files;
    bool inFiles = false;
    const QString project = QString::fromUtf8(readAll(folder + QStringLiteral("/Lumora.hhp")));
    for (const QString &raw : project.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inFiles = line == QLatin1String("[FILES]");
        else if (inFiles && !line.isEmpty())
            files.append(line);
    }
    return files;
}

// A translation shares the English style sheet.
QByteArray sourceOf(const QString &folder, const QString &name)
{
    const QString own = folder + QLatin1Char('/') + name;
    return QFile::exists(own) ? readAll(own) : readAll(QStringLiteral(LUMORA_HELP_SOURCE "/") + name);
}

void expectComplete(const QString &helpFile, const QString &sourceFolder)
{
    SCOPED_TRACE(helpFile.toStdString());
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("extract_chmLib"));
    ASSERT_FALSE(reader.isEmpty()) << "extract_chmLib (package libchm-bin) is needed";
    QTemporaryDir out;
    QProcess extract;
    extract.start(reader, {helpFile, out.path()});
    ASSERT_TRUE(extract.waitForFinished(60000));
    ASSERT_EQ(extract.exitCode(), 0) << extract.readAllStandardError().toStdString();

    const QStringList files = projectFiles(sourceFolder);
    ASSERT_GE(files.size(), 8);
    for (const QString &name : files) {
        const QByteArray inside = readAll(QDir(out.path()).filePath(name));
        EXPECT_FALSE(inside.isEmpty()) << name.toStdString();
        EXPECT_EQ(inside, sourceOf(sourceFolder, name)) << name.toStdString();
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

TEST(HelpFile, IndependentReaderFindsEveryPage)
{
    expectComplete(QStringLiteral(LUMORA_HELP_FILE), QStringLiteral(LUMORA_HELP_SOURCE));
}

TEST(HelpFile, EachTranslationIsCompiledBesideItsPages)
{
    for (const QString &language : {QStringLiteral("de"), QStringLiteral("fr")})
        expectComplete(QStringLiteral(LUMORA_HELP_HTML "/") + language + QStringLiteral("/Lumora.chm"),
                       QStringLiteral(LUMORA_HELP_SOURCE "/") + language);
}

} // namespace
