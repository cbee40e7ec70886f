#pragma once

#include <QList>
#include <QtGlobal>

namespace lumora {

// Finds where the messages of an mbox file begin: a line starting with "From " at the start
// of the file or after an empty line (the mboxo/mboxrd rule; a quoted ">From " is body text).
// The file is fed in pieces of any size, so appended bytes are scanned without going back.
class MboxSplitter
{
public:
    // Scans bytes that follow those fed before; appends to *starts the file offsets of the
    // messages whose "From " line begins in them.
    void feed(const char *data, qsizetype size, QList<qint64> *starts);
    // Offset of the next byte to feed.
    qint64 position() const { return m_pos; }

private:
    qint64 m_pos = 0;
    qint64 m_lineStart = 0;
    // The first bytes of the current line, enough to tell "From " and an empty line.
    char m_head[5] = {};
    int m_headLen = 0;
    bool m_lineHasMore = false; // the current line is longer than m_head
    bool m_afterEmpty = true; // the previous line was empty (or this is the file's first)
};

} // namespace lumora
