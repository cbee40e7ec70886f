#pragma once

#include "platform/core/Verbose.h"

#include <QRegularExpression>
#include <QStringList>

namespace lumora::test {

// Turns the --verbose trace on and collects its lines for the object's life, so a test can
// wait for what the system says it did.
class TraceCapture
{
public:
    TraceCapture()
        : m_wasEnabled(Verbose::enabled())
    {
        Verbose::setEnabled(true);
        Verbose::setSink([this](const QString &line) { m_lines.append(line); });
    }
    ~TraceCapture()
    {
        Verbose::setSink({});
        Verbose::setEnabled(m_wasEnabled);
    }
    TraceCapture(const TraceCapture &) = delete;
    TraceCapture &operator=(const TraceCapture &) = delete;

    QStringList lines() const { return m_lines; }
    qsizetype count(const QRegularExpression &pattern) const
    {
        qsizetype n = 0;
        for (const QString &line : m_lines)
            n += pattern.match(line).hasMatch() ? 1 : 0;
        return n;
    }

private:
    bool m_wasEnabled;
    QStringList m_lines;
};

} // namespace lumora::test
