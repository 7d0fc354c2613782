#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so that the program ends in
// an orderly way (values saved, camera closed) when the session or a user asks it to stop.
// The signal handler only writes one byte to a pipe; the call runs from the event loop.
#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

class CShutdownSignals final : public QObject
{
public:
    // Installs the handlers; onSignal receives the signal number. One instance at a time.
    explicit CShutdownSignals(std::function<void(int)> onSignal);
    ~CShutdownSignals() override;  // puts the previous handlers back

    bool IsInstalled() const { return m_bInstalled; }

private:
    void OnReadable();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_bInstalled = false;
};
