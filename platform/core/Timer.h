#pragma once

#include "platform/core/PlatformExport.h"

#include <QObject>

namespace lumora {

// A window timer as the notifier's logic sees it: enabled flag plus interval, ticks
// delivered on the UI thread. Implemented over QTimer, and over a virtual clock in tests.
class LUMORA_PLATFORM_EXPORT Timer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Timer() override;

    // Milliseconds between ticks. Assigning restarts the countdown; 0 gives no ticks at all.
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    // An enabled timer with a positive interval ticks; disabling stops the countdown.
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;

    // Convenience for the "stop, set interval, start" idiom used throughout the add-in.
    void restart(int ms);

Q_SIGNALS:
    void tick();
};

} // namespace lumora
