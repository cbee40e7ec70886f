#include "host/mbox/MboxSplitter.h"

#include <cstring>

namespace lumora {

void MboxSplitter::feed(const char *data, qsizetype size, QList<qint64> *starts)
{
    const char *p = data;
    const char *end = data + size;
    while (p < end) {
        // Only a line's first five bytes matter; the rest is skipped with memchr.
        while (p < end && m_headLen < 5 && *p != '\n') {
            m_head[m_headLen++] = *p++;
            if (m_headLen == 5 && m_afterEmpty && std::memcmp(m_head, "From ", 5) == 0)
                starts->append(m_lineStart);
        }
        if (p == end)
            break;
        if (*p != '\n') {
            const void *nl = std::memchr(p, '\n', size_t(end - p));
            m_lineHasMore = true;
            if (!nl) {
                p = end;
                break;
            }
            p = static_cast<const char *>(nl);
        }
        // p is at a line end.
        const bool empty = !m_lineHasMore && (m_headLen == 0 || (m_headLen == 1 && m_head[0] == '\r'));
        m_afterEmpty = empty;
        ++p;
        m_lineStart = m_pos + (p - data);
        m_headLen = 0;
        m_lineHasMore = false;
    }
    m_pos += size;
}

} // namespace lumora
