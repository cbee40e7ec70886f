#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace lumora {

// The sequences of an MH folder as nmh keeps them in .mh_sequences: one "name: 1-5 7" line
// each (a line starting with a blank continues the one before). Ranges are kept as ranges,
// so a hostile "1-4000000000" costs nothing.
class MhSequences
{
public:
    struct Range
    {
        int first;
        int last;
    };

    static MhSequences parse(const QByteArray &text);

    // Whether the message is in any of the named sequences.
    bool contains(const QStringList &names, int number) const;
    // The file's text with the message taken out of the named sequences; other lines are
    // kept as they were, and a sequence left empty goes.
    QByteArray without(const QStringList &names, int number) const;

    // More is not read: a real folder has a handful of sequences.
    static constexpr qsizetype MaxBytes = 4 * 1024 * 1024;

private:
    struct Line
    {
        QByteArray name; // empty for a line that names no sequence
        QByteArray raw;
        QList<Range> ranges;
    };
    QList<Line> m_lines;
};

} // namespace lumora
