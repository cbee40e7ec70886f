#pragma once

#include <QObject>

#include <memory>

namespace lumora {

class Timer;

// Gathers arrivals into bursts: burst() follows once quietMs pass without an arrival, and
// no later than about maxDelayMs after the burst's first arrival, however long it lasts.
class ArrivalBurst : public QObject
{
    Q_OBJECT
public:
    ArrivalBurst(int quietMs, int maxDelayMs, QObject *parent = nullptr);
    ~ArrivalBurst() override;

    void note();

Q_SIGNALS:
    void burst();

private:
    int m_quietMs;
    int m_maxDelayMs;
    std::unique_ptr<Timer> m_timer;
    qint64 m_pendingSinceMs = -1;
};

} // namespace lumora
