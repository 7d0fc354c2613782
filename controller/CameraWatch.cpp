#include "controller/CameraWatch.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "controller/ControllerSession.h"
#include "platform/WinMessages.h"

#include <QTimerEvent>

namespace {
constexpr UINT kAvailable = 35015;
constexpr UINT kNotConnected = 35016;
} // namespace

CameraWatch::CameraWatch(ControllerSession& session, int hideTimerMs, CameraRetryTiming retries)
    : m_session(session),
      // Whether the link starts, as for the open that follows: a camera need not tell its version.
      m_probe(CamProbeOnOwnLink),
      m_retries(retries, m_probe),
      m_nHideTimerMs(hideTimerMs)
{
    connect(&m_session, &ControllerSession::cameraLinkDown, this, [this] { OnCameraLinkDown(); });
    connect(&m_session, &ControllerSession::cameraBorrowed, this, [this] { SetFirmwareUpdating(true); });
    connect(&m_session, &ControllerSession::cameraReturned, this, [this] {
        SetFirmwareUpdating(false);
        CheckCameraPresence(TRUE);
    });
    connect(&m_session, &ControllerSession::cameraConnectionChanged, this, [this] { CheckCameraPresence(TRUE); });
}

CameraWatch::~CameraWatch()
{
    Stop();
}

void CameraWatch::Stop()
{
    m_bStopped = true;
    m_probe.Cancel();
    m_retries.Stop();
    KillHideTimer();
    if (m_nPresencePollTimer != 0) {
        killTimer(m_nPresencePollTimer);
        m_nPresencePollTimer = 0;
    }
}

bool CameraWatch::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QObject::event(e);
}

LRESULT CameraWatch::WindowProc(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CAMERA_PRESENCE && !m_bStopped)
        OnCameraPresence(wParam == 1);
    return 0;
}

void CameraWatch::timerEvent(QTimerEvent* e)
{
    OnTimer(e->timerId());
}

void CameraWatch::SetFirmwareUpdating(bool updating)
{
    m_bFirmwareUpdating = updating;
    // A countdown that ran out meanwhile would hide the dialog behind the update dialog,
    // and a try to open the camera would take its port from the update.
    if (m_bFirmwareUpdating) {
        KillHideTimer();
        m_probe.Cancel();
        m_retries.Stop();
        Q_EMIT removeTrayIcon();
    }
}

void CameraWatch::CheckCameraPresence(BOOL force)
{
    if (m_bFirmwareUpdating || m_bStopped)
        return;
    // A network camera: asked again every few seconds, since no device event tells of it.
    // While its link is open, CamIsPresent answers from the link's keep-alive.
    const bool poll = CamPollsPresence();
    if (poll && m_nPresencePollTimer == 0)
        m_nPresencePollTimer = startTimer(m_nPresencePollMs);
    else if (!poll && m_nPresencePollTimer != 0) {
        killTimer(m_nPresencePollTimer);
        m_nPresencePollTimer = 0;
    }
    if (poll && !CamIsOpen()) {
        // Asking an absent camera waits for its time-out: done off this thread, the answer
        // comes back here. An open link answers at once from its keep-alive.
        m_probe.Ask([this, force](bool answers) {
            if (!m_bFirmwareUpdating && !m_bStopped)
                ReportPresence(answers || CamIsOpen() ? TRUE : FALSE, force);
        });
        return;
    }
    ReportPresence(CamIsPresent(), force);
}

void CameraWatch::ReportPresence(BOOL present, BOOL force)
{
    if (present == m_bCameraPresent && !force)
        return;
    PostMessage(this, WM_CAMERA_PRESENCE, present ? 1 : 0, 0);
    m_bCameraPresent = present;
}

void CameraWatch::OnCameraPresence(bool attached)
{
    // Reports queued before the update started are as stale as those it would cause.
    if (m_bFirmwareUpdating)
        return;
    KillHideTimer();
    m_retries.Stop();
    if (attached) {
        Q_EMIT trayMessage(kAvailable);
        // The port may follow the USB device by a moment: a few seconds' grace before
        // "not connected".
        m_retries.WaitForPort([this] { return m_session.FindCameraPort() != 0; },
                              [this] {
                                  m_session.OpenCamera();
                                  m_session.StartTracking();
                              },
                              [this] {
                                  Q_EMIT trayMessage(kNotConnected);
                                  StartHideTimer();
                              });
        return;
    }
    Q_EMIT trayMessage(kNotConnected);
    m_session.StopTracking();
    m_session.CloseCamera();
    StartHideTimer();
}

void CameraWatch::OnCameraLinkDown()
{
    // The session has closed the camera. While it stays attached, keep trying; when it
    // answers, it comes back as on a plug-in, balloon included. Not while an update owns
    // the camera: its end checks the presence anyway.
    if (!m_bFirmwareUpdating && !m_bStopped)
        m_retries.StartReopening([this] { CheckCameraPresence(TRUE); });
}

void CameraWatch::OnDeviceChange()
{
    CheckCameraPresence(FALSE);
}

void CameraWatch::OnSuspend()
{
    m_retries.Stop();
    m_session.StopTracking();
    m_session.SaveCameraPosition();
    m_session.CloseCamera();
}

void CameraWatch::OnResume()
{
    CheckCameraPresence(TRUE);
}

void CameraWatch::StartHideTimer()
{
    KillHideTimer();
    m_nHideTimer = startTimer(m_nHideTimerMs);
}

void CameraWatch::KillHideTimer()
{
    if (m_nHideTimer != 0) {
        killTimer(m_nHideTimer);
        m_nHideTimer = 0;
    }
}

bool CameraWatch::OnTimer(int timerId)
{
    if (m_nPresencePollTimer != 0 && timerId == m_nPresencePollTimer) {
        CheckCameraPresence(FALSE);
        return true;
    }
    if (m_nHideTimer == 0 || timerId != m_nHideTimer)
        return false;
    KillHideTimer();
    Q_EMIT hideTimeout();
    return true;
}
