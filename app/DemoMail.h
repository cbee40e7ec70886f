#pragma once

#include "platform/core/Timer.h"

#include <QObject>

#include <memory>

namespace lumora {

class MemoryApplication;

// The demo run's mail: the sample store, and three new messages (one of high importance)
// delivered a few seconds after start so a newcomer sees the whole path once.
class DemoMail : public QObject
{
    Q_OBJECT
public:
    static constexpr int DeliveryDelayMs = 3000;
    static constexpr int SampleCount = 3;

    explicit DemoMail(MemoryApplication *application, QObject *parent = nullptr);
    ~DemoMail() override;

    static void populate(MemoryApplication &application);

private:
    MemoryApplication *m_application;
    std::unique_ptr<Timer> m_timer;
};

} // namespace lumora
