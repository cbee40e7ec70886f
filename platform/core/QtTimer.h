#pragma once

#include "platform/core/Timer.h"

#include <QTimer>

namespace lumora {

// Timer over QTimer. QTimer has no "enabled with interval 0" state that stays silent,
// so the QTimer runs only while enabled and the interval is positive.
class LUMORA_PLATFORM_EXPORT QtTimer : public Timer
{
    Q_OBJECT
public:
    explicit QtTimer(QObject *parent = nullptr);

    void setInterval(int ms) override;
    int interval() const override;
    void setEnabled(bool on) override;
    bool isEnabled() const override;

private:
    void sync();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace lumora
