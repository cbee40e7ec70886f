#pragma once

#include "host/imap/ImapTokenSource.h"

#include <QString>

namespace lumora {

// Tokens from a program the user names, as mail sync tools take a password command: its
// standard output's first line is the token. The command line is split into program and
// arguments as a desktop entry's Exec is, and run without a shell, so nothing in it is
// expanded or chained. A run asked for because the server refused the last token gets
// LUMORA_TOKEN_REFRESH=1 in its environment, for programs that keep tokens of their own.
class ImapTokenCommand : public ImapTokenSource
{
public:
    explicit ImapTokenCommand(const QString &commandLine);

    QString describe() const override;

    // How long the program may take (it may be talking to the provider).
    static constexpr int TimeoutMs = 60000;
    // The most of its output that is read: tokens are a few kilobytes.
    static constexpr qint64 MaxOutputBytes = 64 * 1024;

    // The token's expiry when it is a JSON Web Token that states one; invalid otherwise.
    static QDateTime jwtExpiry(const QByteArray &token);

protected:
    Token fetch(bool fresh) override;

private:
    QString m_commandLine;
};

} // namespace lumora
