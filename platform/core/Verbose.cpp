#include "platform/core/Verbose.h"

#include <cstdio>

namespace lumora {

namespace {
bool g_enabled = false;
std::function<void(const QString &)> g_sink;
} // namespace

void Verbose::setSink(std::function<void(const QString &)> sink)
{
    g_sink = std::move(sink);
}

void Verbose::setEnabled(bool on)
{
    g_enabled = on;
}

bool Verbose::enabled()
{
    return g_enabled;
}

QString Verbose::printable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || u == 0x2028 || u == 0x2029)
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else if (c.category() == QChar::Other_Format)
            // Direction overrides and invisible characters would reorder or hide the line.
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void Verbose::line(const QString &text)
{
    if (!g_enabled)
        return;
    write(text);
}

void Verbose::warning(const QString &text)
{
    write(QStringLiteral("warning: ") + text);
}

void Verbose::write(const QString &text)
{
    if (g_sink) {
        g_sink(printable(text));
        return;
    }
    const QByteArray bytes = QStringLiteral("lumora: ").toUtf8() + printable(text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace lumora
