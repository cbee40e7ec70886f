#include "host/imap/ImapTokenSource.h"

#include "platform/core/Clock.h"

namespace lumora {

ImapTokenSource::Token ImapTokenSource::token(bool fresh)
{
    const QDateTime now = Clock::instance().now();
    if (!fresh && !m_kept.value.isEmpty()) {
        const bool good = m_kept.expires.isValid() ? now.secsTo(m_kept.expires) > RenewBeforeSecs
                                                   : m_keptAt.secsTo(now) < ReuseUnknownSecs;
        if (good)
            return m_kept;
    }
    Token got = fetch(fresh);
    if (got.value.isEmpty()) {
        m_kept = {};
        return got;
    }
    m_kept = got;
    m_keptAt = now;
    return got;
}

} // namespace lumora
