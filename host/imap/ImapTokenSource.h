#pragma once

#include <QDateTime>
#include <QString>

namespace lumora {

// Where an OAuth2 account's access tokens come from (the desktop's online accounts, a
// command). A token is kept until shortly before it expires, so the several sessions of an
// account that log in at once ask only once; one the server refused is never offered again.
// Tokens are fetched while a login waits on its socket alone, so a source answers at once
// or within a bounded wait, without needing the event loop.
class ImapTokenSource
{
public:
    struct Token
    {
        // Empty when none could be had; problem then says why, for the user.
        QString value;
        QString problem;
        // When the token stops being good; invalid when the source does not say.
        QDateTime expires;
    };

    virtual ~ImapTokenSource() = default;

    // A token to log in with. fresh: the server refused the last one as expired or invalid,
    // so a new one is wanted even if the kept one seems to have time left.
    Token token(bool fresh);
    // How the source is named in messages ("the token command \"…\"").
    virtual QString describe() const = 0;

    // A kept token is renewed this long before it expires.
    static constexpr int RenewBeforeSecs = 120;
    // A token whose expiry nobody states is reused this long: the sessions of one start.
    static constexpr int ReuseUnknownSecs = 60;

protected:
    // Asks the source itself. fresh as for token().
    virtual Token fetch(bool fresh) = 0;

private:
    Token m_kept;
    QDateTime m_keptAt;
};

} // namespace lumora
