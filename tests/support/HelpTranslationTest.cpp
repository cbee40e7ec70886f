// The translated help pages against the English ones: every page is there in every language,
// names its language, keeps the anchors that links and context ids point at and the same
// links, each of which resolves in the installed tree, and has as many sections, rows and
// entries (a paragraph the English page gained and a translation lacks shows up here).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QStringList Languages = {QStringLiteral("de"), QStringLiteral("fr")};

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList captures(const QString &pattern, const QString &text)
{
    QStringList found;
    for (const auto &match : QRegularExpression(pattern).globalMatch(text))
        found.append(match.captured(1));
    return found;
}

// Contents and index are read in the code page of the project's language, so their names
// carry anything beyond ASCII as numeric character references.
QString decodeReferences(const QString &text)
{
    QString decoded = text;
    static const QRegularExpression reference(QStringLiteral("&#([0-9]{1,7});"));
    for (auto match = reference.match(decoded); match.hasMatch(); match = reference.match(decoded))
        decoded.replace(match.capturedStart(), match.capturedLength(), QChar(match.captured(1).toUShort()));
    return decoded;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

std::string show(const QStringList &list)
{
    return list.join(QLatin1Char(' ')).toStdString();
}

// The lines of one section ("[FILES]") of a help project.
QStringList projectSection(const QString &project, const QString &section)
{
    QStringList lines;
    bool inside = false;
    for (const QString &raw : project.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inside = line == section;
        else if (inside && !line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QStringList englishPages()
{
    QStringList pages;
    for (const QString &name :
         projectSection(readText(QStringLiteral(LUMORA_HELP_SOURCE "/Lumora.hhp")), QStringLiteral("[FILES]"))) {
        if (name.endsWith(QLatin1String(".html")))
            pages.append(name);
    }
    return pages;
}

QStringList anchors(const QString &html)
{
    QStringList ids = captures(QStringLiteral(R"(\sid="([^"]*)\")"), html);
    ids += captures(QStringLiteral(R"(<a\s[^>]*name="([^"]*)\")"), html);
    ids.sort();
    return ids;
}

QStringList links(const QString &html)
{
    return captures(QStringLiteral(R"(\s(?:href|src)="([^"]*)\")"), html);
}

// How often each element that carries content occurs ("dd=9 dl=1 ...").
std::string structure(const QString &html)
{
    QMap<QString, int> counts;
    for (const QString &tag :
         captures(QStringLiteral(R"(<(h[1-6]|p|table|tr|th|td|dl|dt|dd|ul|ol|li|pre)[\s>])"), html))
        ++counts[tag];
    QStringList parts;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        parts.append(it.key() + QLatin1Char('=') + QString::number(it.value()));
    return parts.join(QLatin1Char(' ')).toStdString();
}

// The running text of a page, without its markup, its code and its navigation bar (which
// names the same file names in every language).
std::string paragraphs(const QString &html)
{
    static const QRegularExpression code(QStringLiteral("<code>[^<]*</code>|<p class=\"nav\">.*?</p>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString text = html.section(QStringLiteral("<body>"), 1);
    return text.remove(code).remove(tag).simplified().toStdString();
}

QString title(const QString &html)
{
    const QStringList titles = captures(QStringLiteral("<title>([^<]*)</title>"), html);
    return titles.size() == 1 ? titles.first() : QString();
}

TEST(HelpTranslation, EveryPageHasACounterpartWithTheSameAnchorsLinksAndSections)
{
    const QStringList pages = englishPages();
    ASSERT_GE(pages.size(), 8);
    for (const QString &language : Languages) {
        const QDir installed(QStringLiteral(LUMORA_HELP_HTML "/") + language);
        for (const QString &page : pages) {
            SCOPED_TRACE((language + QLatin1Char('/') + page).toStdString());
            const QString english = readText(QStringLiteral(LUMORA_HELP_SOURCE "/") + page);
            const QString translated =
                readText(QStringLiteral(LUMORA_HELP_SOURCE "/") + language + QLatin1Char('/') + page);
            ASSERT_FALSE(english.isEmpty());
            ASSERT_FALSE(translated.isEmpty()) << "page missing";
            EXPECT_TRUE(translated.contains(QStringLiteral("<html lang=\"") + language + QStringLiteral("\">")));
            EXPECT_TRUE(translated.contains(QStringLiteral("<meta charset=\"utf-8\">")));
            EXPECT_FALSE(title(translated).isEmpty());
            EXPECT_NE(paragraphs(translated), paragraphs(english)) << "page left in English";
            EXPECT_EQ(show(anchors(translated)), show(anchors(english)));
            EXPECT_EQ(show(links(translated)), show(links(english)));
            EXPECT_EQ(structure(translated), structure(english));

            // Each link reaches a file of the same language, and an anchor on it.
            for (const QString &link : links(translated)) {
                if (link.contains(QLatin1Char(':')))
                    continue;
                const QString file = link.section(QLatin1Char('#'), 0, 0);
                const QString fragment = link.section(QLatin1Char('#'), 1);
                const QString target = file.isEmpty() ? page : file;
                EXPECT_TRUE(QFileInfo(installed.filePath(target)).isFile()) << link.toStdString();
                if (!fragment.isEmpty()) {
                    EXPECT_TRUE(anchors(readText(installed.filePath(target))).contains(fragment)) << link.toStdString();
                }
            }
        }
    }
}

TEST(HelpTranslation, ProjectsListTheSamePagesTopicsAndIndexTargets)
{
    const QString source = QStringLiteral(LUMORA_HELP_SOURCE "/");
    const QString local = QStringLiteral(R"(name="Local" value="([^"]+)\")");
    const QString name = QStringLiteral(R"(name="Name" value="([^"]+)\")");
    const QString englishProject = readText(source + QStringLiteral("Lumora.hhp"));
    const QStringList englishTopics = captures(local, readText(source + QStringLiteral("Lumora.hhc")));
    QStringList englishTargets = captures(local, readText(source + QStringLiteral("Lumora.hhk")));
    englishTargets.sort();
    for (const QString &language : Languages) {
        SCOPED_TRACE(language.toStdString());
        const QString folder = source + language + QLatin1Char('/');
        const QString project = readText(folder + QStringLiteral("Lumora.hhp"));
        EXPECT_EQ(show(projectSection(project, QStringLiteral("[FILES]"))),
                  show(projectSection(englishProject, QStringLiteral("[FILES]"))));
        // The viewer takes the language of its contents and search from the project.
        EXPECT_FALSE(project.contains(QLatin1String("0x409")));

        const QString contents = readText(folder + QStringLiteral("Lumora.hhc"));
        EXPECT_TRUE(isAscii(contents));
        EXPECT_TRUE(isAscii(readText(folder + QStringLiteral("Lumora.hhk"))));
        EXPECT_EQ(show(captures(local, contents)), show(englishTopics));
        QStringList targets = captures(local, readText(folder + QStringLiteral("Lumora.hhk")));
        targets.sort();
        EXPECT_EQ(show(targets), show(englishTargets));

        // Each topic is named as its page's title names it.
        const QStringList topicNames = captures(name, contents);
        ASSERT_EQ(topicNames.size(), englishTopics.size());
        for (int i = 0; i < topicNames.size(); ++i)
            EXPECT_EQ(decodeReferences(topicNames[i]).toStdString(),
                      title(readText(folder + englishTopics[i])).toStdString());
    }
}

} // namespace
