#include "tests/translations/TsCheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace lumora::test {

namespace {

struct Message
{
    QString context;
    QString source;
    bool numerus = false;
    bool unfinished = false;
    bool gone = false; // obsolete or vanished: no longer in the program
    QString translation;
    QStringList forms;
};

void check(const Message &m, const QString &name, QStringList &out)
{
    if (m.gone)
        return;
    const QString where = QStringLiteral("%1: [%2] \"%3\"").arg(name, m.context, m.source);
    if (m.unfinished)
        out << where + QStringLiteral(": unfinished");
    const QStringList texts = m.numerus ? m.forms : QStringList{m.translation};
    if (m.numerus && texts.isEmpty())
        out << where + QStringLiteral(": no plural forms");
    for (const QString &text : texts) {
        if (text.trimmed().isEmpty()) {
            out << where + QStringLiteral(": empty translation");
            continue;
        }
        if (TsCheck::accelerators(text) != TsCheck::accelerators(m.source))
            out << where
                    + QStringLiteral(": %1 accelerator(s) in \"%2\", the source has %3")
                          .arg(TsCheck::accelerators(text))
                          .arg(text)
                          .arg(TsCheck::accelerators(m.source));
        // Every plural form shows the number: French uses its singular for 0 as well.
        const QStringList wanted = TsCheck::placeholders(m.source);
        const QStringList got = TsCheck::placeholders(text);
        if (got != wanted)
            out << where
                    + QStringLiteral(": placeholders %1 in \"%2\", the source has %3")
                          .arg(got.join(QLatin1Char(' ')), text, wanted.join(QLatin1Char(' ')));
    }
}

} // namespace

int TsCheck::accelerators(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&'))
            ++i;
        else if (!text.at(i + 1).isSpace())
            ++count;
    }
    return count;
}

QChar TsCheck::acceleratorKey(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&'))
            ++i;
        else if (!text.at(i + 1).isSpace())
            return text.at(i + 1).toLower();
    }
    return {};
}

QStringList TsCheck::placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?([1-9][0-9]?|n)"));
    QStringList out;
    for (const QRegularExpressionMatch &match : pattern.globalMatch(text)) {
        const QString p = QLatin1Char('%') + match.captured(1);
        if (!out.contains(p))
            out << p;
    }
    out.sort();
    return out;
}

QStringList TsCheck::problemsInText(const QByteArray &text, const QString &name)
{
    QStringList out;
    QXmlStreamReader xml(text);
    QString context;
    Message m;
    bool inMessage = false;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto tag = xml.name();
            if (tag == QLatin1String("name") && !inMessage) {
                context = xml.readElementText();
            } else if (tag == QLatin1String("message")) {
                inMessage = true;
                m = Message();
                m.context = context;
                m.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (tag == QLatin1String("source") && inMessage) {
                m.source = xml.readElementText();
            } else if (tag == QLatin1String("translation") && inMessage) {
                const auto type = xml.attributes().value(QLatin1String("type"));
                m.unfinished = type == QLatin1String("unfinished");
                m.gone = type == QLatin1String("obsolete") || type == QLatin1String("vanished");
                if (!m.numerus)
                    m.translation = xml.readElementText();
            } else if (tag == QLatin1String("numerusform") && inMessage) {
                m.forms << xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            inMessage = false;
            ++messages;
            check(m, name, out);
        }
    }
    if (xml.hasError())
        out << QStringLiteral("%1: not readable XML: %2 (line %3)").arg(name, xml.errorString()).arg(xml.lineNumber());
    else if (messages == 0)
        out << QStringLiteral("%1: holds no message").arg(name);
    return out;
}

QStringList TsCheck::problems(const QString &tsPath)
{
    QFile file(tsPath);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("%1: cannot be read: %2").arg(tsPath, file.errorString())};
    return problemsInText(file.readAll(), tsPath);
}

} // namespace lumora::test
