#pragma once

#include "platform/core/ProcessLauncher.h"

#include <QList>

namespace lumora::test {

// Records what would have been started; installed for its lifetime.
class FakeProcessLauncher : public ProcessLauncher
{
public:
    struct Call
    {
        QString program;
        QStringList arguments;
    };

    FakeProcessLauncher() { ProcessLauncher::setInstance(this); }
    ~FakeProcessLauncher() override { ProcessLauncher::setInstance(nullptr); }

    bool startDetached(const QString &program, const QStringList &arguments, int *errorNumber,
                       QString *errorText) override
    {
        calls.append({program, arguments});
        if (fail) {
            if (errorNumber)
                *errorNumber = 2;
            if (errorText)
                *errorText = QStringLiteral("File not found");
            return false;
        }
        return true;
    }

    QList<Call> calls;
    bool fail = false;
};

} // namespace lumora::test
