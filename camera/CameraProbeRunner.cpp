#include "camera/CameraProbeRunner.h"

#include "camera/CameraConnectionApi.h"

#include <QMetaObject>

CameraProbeRunner::CameraProbeRunner(Probe probe) : m_probe(std::move(probe)) {}

CameraProbeRunner::~CameraProbeRunner()
{
    // The worker's queued answer goes with this object.
    if (m_thread.joinable())
        m_thread.join();
}

void CameraProbeRunner::Ask(std::function<void(bool)> done)
{
    m_waiters.push_back({CamConnection(), m_epoch, std::move(done)});
    if (!m_running)
        Start();
}

void CameraProbeRunner::Cancel()
{
    m_waiters.clear();
    ++m_epoch;
}

void CameraProbeRunner::Start()
{
    if (m_thread.joinable())
        m_thread.join();  // it has posted its answer: gone at once
    m_running = true;
    m_asked = CamConnection();
    m_askedEpoch = m_epoch;
    m_thread = std::thread([this, connection = m_asked] {
        const bool answers = m_probe(connection);
        QMetaObject::invokeMethod(this, [this, answers] { Finished(answers); }, Qt::QueuedConnection);
    });
}

void CameraProbeRunner::Finished(bool answers)
{
    m_running = false;
    const CameraConnection now = CamConnection();
    std::vector<Waiter> waiters = std::move(m_waiters);
    m_waiters.clear();
    std::vector<std::function<void(bool)>> answered;
    for (Waiter& w : waiters) {
        if (!(w.connection == now))
            continue;  // asked about a camera since replaced: its asker has asked anew
        if (w.connection == m_asked && w.epoch == m_askedEpoch)
            answered.push_back(std::move(w.done));
        else
            m_waiters.push_back(std::move(w));  // asked after the probe began: probe again
    }
    if (!m_waiters.empty())
        Start();
    // Last: a caller may ask again from its callback.
    for (auto& done : answered)
        done(answers);
}
