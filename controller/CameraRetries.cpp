#include "controller/CameraRetries.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"

#include <QTimerEvent>

void CameraRetries::WaitForPort(std::function<bool()> findPort, std::function<void()> found,
                                std::function<void()> gaveUp)
{
    m_portTimer.stop();
    m_findPort = std::move(findPort);
    m_found = std::move(found);
    m_gaveUp = std::move(gaveUp);
    m_portLooksLeft = m_timing.portPollMs > 0 ? m_timing.portWaitMs / m_timing.portPollMs : 0;
    LookForPort();
}

void CameraRetries::LookForPort()
{
    // Each callback is moved out before it runs: it may start a new wait.
    if (m_findPort()) {
        m_portTimer.stop();
        auto found = std::move(m_found);
        found();
        return;
    }
    if (m_portLooksLeft-- > 0) {
        if (!m_portTimer.isActive())
            m_portTimer.start(m_timing.portPollMs, this);
        return;
    }
    m_portTimer.stop();
    auto gaveUp = std::move(m_gaveUp);
    gaveUp();
}

void CameraRetries::StartReopening(std::function<void()> answered)
{
    m_answered = std::move(answered);
    if (!m_reopenTimer.isActive())
        m_reopenTimer.start(m_timing.reopenMs, this);
}

void CameraRetries::TryReopen()
{
    // A network camera has no quick presence test; the frame's look for it tells its going.
    if (CamIsOpen() || (!CamPollsPresence() && !CamIsPresent())) {
        m_reopenTimer.stop();  // gone (the presence watch takes over) or open again
        return;
    }
    if (m_asking)
        return;  // the last ask is still out
    m_asking = true;
    m_probe.Ask([this](bool answers) {
        m_asking = false;
        // Stopped meanwhile: a plug-in, an unplug or an update has taken over.
        if (!answers || !m_reopenTimer.isActive())
            return;
        m_reopenTimer.stop();
        auto answered = std::move(m_answered);
        answered();
    });
}

void CameraRetries::Stop()
{
    m_asking = false;
    m_portTimer.stop();
    m_reopenTimer.stop();
}

void CameraRetries::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_portTimer.timerId())
        LookForPort();
    else if (e->timerId() == m_reopenTimer.timerId())
        TryReopen();
    else
        QObject::timerEvent(e);
}
