// Writes a resource-only PE image carrying a version resource, e.g.
//   mkverpe -o HOST.EXE --file-version 10.0.2627.1 --translation 0409/04B0
//           --string "CompanyName=Corvane Software"
#include "tools/PeWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

bool parseNumber(const QString &text, quint32 *value)
{
    bool ok = false;
    const QString t = text.trimmed();
    *value = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toUInt(&ok, 16) : t.toUInt(&ok, 10);
    return ok;
}

bool parseVersion(const QString &text, quint16 (&parts)[4])
{
    const QStringList fields = text.split(QLatin1Char('.'));
    if (fields.isEmpty() || fields.size() > 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        uint v = 0;
        bool ok = true;
        if (i < fields.size())
            v = fields.at(i).toUInt(&ok);
        if (!ok || v > 0xFFFF)
            return false;
        parts[i] = quint16(v);
    }
    return true;
}

// "0409/04B0": language and code page in hex.
bool parseTranslation(const QString &text, quint32 *value)
{
    const QStringList fields = text.split(QLatin1Char('/'));
    if (fields.size() != 2)
        return false;
    bool okLang = false;
    bool okPage = false;
    const uint lang = fields[0].toUInt(&okLang, 16);
    const uint page = fields[1].toUInt(&okPage, 16);
    if (!okLang || !okPage || lang > 0xFFFF || page > 0xFFFF)
        return false;
    *value = (page << 16) | lang;
    return true;
}

int fail(const QString &message)
{
    QTextStream(stderr) << "mkverpe: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a resource-only PE image with a version resource."));
    parser.addHelpOption();
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("Output file."),
                                    QStringLiteral("path"));
    const QCommandLineOption fileVersion(QStringLiteral("file-version"), QStringLiteral("a.b.c.d"),
                                         QStringLiteral("version"), QStringLiteral("1.0.0.0"));
    const QCommandLineOption productVersion(QStringLiteral("product-version"),
                                            QStringLiteral("a.b.c.d (default: the file version)"),
                                            QStringLiteral("version"));
    const QCommandLineOption flags(QStringLiteral("flags"), QStringLiteral("File flags."), QStringLiteral("n"),
                                   QStringLiteral("0"));
    const QCommandLineOption os(QStringLiteral("os"), QStringLiteral("Target system."), QStringLiteral("n"),
                                QStringLiteral("0x40004"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("File type."), QStringLiteral("n"),
                                  QStringLiteral("1"));
    const QCommandLineOption subType(QStringLiteral("subtype"), QStringLiteral("File sub-type."), QStringLiteral("n"),
                                     QStringLiteral("0"));
    const QCommandLineOption translation(QStringLiteral("translation"),
                                         QStringLiteral("LANG/CODEPAGE in hex, repeatable (default 0409/04B0)."),
                                         QStringLiteral("lang/cp"));
    const QCommandLineOption table(QStringLiteral("table"),
                                   QStringLiteral("String table key (default: from the first translation)."),
                                   QStringLiteral("key"));
    const QCommandLineOption string(QStringLiteral("string"), QStringLiteral("Name=Value, repeatable."),
                                    QStringLiteral("entry"));
    const QCommandLineOption pe32Plus(QStringLiteral("pe32plus"), QStringLiteral("Write a PE32+ (64-bit) image."));
    parser.addOptions(
        {output, fileVersion, productVersion, flags, os, type, subType, translation, table, string, pe32Plus});
    parser.process(app);

    if (!parser.isSet(output))
        return fail(QStringLiteral("--output is required"));

    lumora::PeWriter::VersionData data;
    if (!parseVersion(parser.value(fileVersion), data.fileVersion))
        return fail(QStringLiteral("bad --file-version"));
    const QString product = parser.isSet(productVersion) ? parser.value(productVersion) : parser.value(fileVersion);
    if (!parseVersion(product, data.productVersion))
        return fail(QStringLiteral("bad --product-version"));
    if (!parseNumber(parser.value(flags), &data.flags) || !parseNumber(parser.value(os), &data.os)
        || !parseNumber(parser.value(type), &data.type) || !parseNumber(parser.value(subType), &data.subType))
        return fail(QStringLiteral("bad number in --flags, --os, --type or --subtype"));
    if (parser.isSet(translation)) {
        data.translations.clear();
        for (const QString &t : parser.values(translation)) {
            quint32 value = 0;
            if (!parseTranslation(t, &value))
                return fail(QStringLiteral("bad --translation ") + t);
            data.translations.append(value);
        }
    }
    if (parser.isSet(string)) {
        lumora::PeWriter::StringTable strings;
        const quint32 first = data.translations.value(0, 0x04B00409);
        strings.key = parser.isSet(table) ? parser.value(table)
                                          : QStringLiteral("%1%2")
                                                .arg(first & 0xFFFF, 4, 16, QLatin1Char('0'))
                                                .arg(first >> 16, 4, 16, QLatin1Char('0'))
                                                .toUpper();
        for (const QString &entry : parser.values(string)) {
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            if (eq <= 0)
                return fail(QStringLiteral("bad --string ") + entry);
            strings.entries.append({entry.left(eq), entry.mid(eq + 1)});
        }
        data.stringTables.append(strings);
    }

    const QByteArray resource = lumora::PeWriter::versionResource(data);
    const quint16 language = quint16(data.translations.value(0, 0x0409) & 0xFFFF);
    if (!lumora::PeWriter::writeFile(parser.value(output),
                                     lumora::PeWriter::image(resource, parser.isSet(pe32Plus), language)))
        return fail(QStringLiteral("cannot write ") + parser.value(output));
    return 0;
}
