#pragma once
// Tells the top-level windows about suspend and resume from systemd-logind's PrepareForSleep
// signal on the system bus: before sleep WM_POWERBROADCAST with PBT_APMQUERYSUSPEND and then
// PBT_APMSUSPEND (logind asks nothing first; the query is where the controller closes its
// video window), after waking PBT_APMRESUMESUSPEND.
// While it runs it holds a delay inhibitor, so that the camera is closed before the machine
// sleeps. Without a system bus or logind there are no power events and no error.
#include "platform/WinTypes.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <vector>

class CPowerWatcher final : public QObject
{
    Q_OBJECT
public:
    // Each of targets gets every power message, in this order, as a broadcast reaches them.
    explicit CPowerWatcher(std::vector<HWND> targets, QDBusConnection bus = QDBusConnection::systemBus());

    bool IsConnected() const { return m_bConnected; }

public slots:
    // true: the machine is about to sleep; false: it has woken up.
    void OnPrepareForSleep(bool start);

private:
    void TakeDelayLock();

    std::vector<HWND> m_targets;
    QDBusConnection m_bus;
    bool m_bConnected = false;
    QDBusUnixFileDescriptor m_delayLock;
};
