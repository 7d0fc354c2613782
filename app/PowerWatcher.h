#pragma once
// Tells the top-level windows about suspend and resume (WM_POWERBROADCAST with PBT_APMSUSPEND and
// PBT_APMRESUMESUSPEND) from systemd-logind's PrepareForSleep signal on the system bus.
// While it runs it holds a delay inhibitor, so that the camera is closed before the machine
// sleeps. Without a system bus or logind there are no power events and no error.
#include "platform/WinTypes.h"

#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <vector>

class CPowerWatcher final : public QObject
{
    Q_OBJECT
public:
    // Each of targets gets every power message, in this order, as a broadcast reaches them.
    explicit CPowerWatcher(std::vector<HWND> targets);

    bool IsConnected() const { return m_bConnected; }

public slots:
    // true: the machine is about to sleep; false: it has woken up.
    void OnPrepareForSleep(bool start);

private:
    void TakeDelayLock();

    std::vector<HWND> m_targets;
    bool m_bConnected = false;
    QDBusUnixFileDescriptor m_delayLock;
};
