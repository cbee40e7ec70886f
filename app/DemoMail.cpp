#include "app/DemoMail.h"

#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryDemoStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Verbose.h"

namespace lumora {

DemoMail::DemoMail(MemoryApplication *application, QObject *parent)
    : QObject(parent)
    , m_application(application)
    , m_timer(Clock::instance().createTimer())
{
    connect(m_timer.get(), &Timer::tick, this, [this] {
        m_timer->setEnabled(false);
        Verbose::line(QStringLiteral("demo: delivering %1 sample messages").arg(SampleCount));
        MemoryDemoStore::deliverSample(*m_application, SampleCount);
    });
    m_timer->restart(DeliveryDelayMs);
}

DemoMail::~DemoMail() = default;

void DemoMail::populate(MemoryApplication &application)
{
    MemoryDemoStore::populate(application);
}

} // namespace lumora
