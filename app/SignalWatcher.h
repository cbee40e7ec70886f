#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace lumora {

// Turns SIGINT and SIGTERM into a Qt signal on the UI thread (self-pipe), so quitting
// runs the same orderly shutdown as `lumora --quit`.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace lumora
