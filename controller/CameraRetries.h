#pragma once
// Two patient tries of the presence watch, each on a timer of its own:
// - after an arrival whose port is not there yet (udev names the tty and sets its
//   permissions a moment after the USB device appears), look for the port again for a few
//   seconds before calling the camera not connected;
// - after the link was lost or could not be established while the camera stays attached
//   (a camera that stopped answering), try to open it every few seconds, silently, until it
//   answers; the frame then treats it as a plug-in. The tries ask through the frame's
//   probe runner, off the interface thread.
#include "camera/CameraProbeRunner.h"

#include <QBasicTimer>
#include <QObject>

#include <functional>

struct CameraRetryTiming
{
    int portPollMs = 250;   // between two looks for the port
    int portWaitMs = 3000;  // after the arrival, before giving up; 0: give up at once
    int reopenMs = 5000;    // between two tries to open a silent camera
};

class CameraRetries final : public QObject
{
public:
    CameraRetries(CameraRetryTiming timing, CameraProbeRunner& probe) : m_timing(timing), m_probe(probe) {}

    // Looks for the port now (findPort returns true when found) and then every portPollMs
    // until portWaitMs has passed. Calls found() or gaveUp() once; either may run before
    // this returns. A new wait replaces a running one.
    void WaitForPort(std::function<bool()> findPort, std::function<void()> found, std::function<void()> gaveUp);
    // Every reopenMs while the camera is attached and not open: asks whether it answers,
    // on a link of the probe's own that tells no window; once it answers, stops and calls
    // answered(). Ends by itself when the camera is gone or open. Starting it again keeps
    // the running rhythm.
    void StartReopening(std::function<void()> answered);
    void Stop();  // both

    bool WaitingForPort() const { return m_portTimer.isActive(); }
    bool Reopening() const { return m_reopenTimer.isActive(); }

protected:
    void timerEvent(QTimerEvent* e) override;

private:
    void LookForPort();
    void TryReopen();

    const CameraRetryTiming m_timing;
    CameraProbeRunner& m_probe;
    QBasicTimer m_portTimer;
    QBasicTimer m_reopenTimer;
    int m_portLooksLeft = 0;
    bool m_asking = false;
    std::function<bool()> m_findPort;
    std::function<void()> m_found, m_gaveUp, m_answered;
};
