#pragma once
// Asks, on a thread of its own, whether a camera answers: a camera that is absent or
// silent makes the asker wait up to its reply time-out (and a network camera its host
// lookup and connect), which must not hold the interface thread. The probe opens a link
// of its own, never the shared one, and the answer comes back on this object's thread.
// One probe at a time; asks about the same camera that overlap share it. Used for the
// presence of the configured camera and for the settings dialog's Test of a camera not
// configured yet.
#include "camera/CameraConnection.h"
#include "camera/CameraConnectionApi.h"

#include <QObject>

#include <functional>
#include <thread>
#include <vector>

class CameraProbeRunner final : public QObject
{
public:
    // Runs on the worker thread: what the camera of connection answers.
    using Probe = std::function<CameraProbe(const CameraConnection&)>;
    explicit CameraProbeRunner(Probe probe);
    // Waits for a running probe, at most its time-out; its answer is dropped.
    ~CameraProbeRunner() override;
    CameraProbeRunner(const CameraProbeRunner&) = delete;
    CameraProbeRunner& operator=(const CameraProbeRunner&) = delete;

    // Calls done(answers) later, on this thread, for the camera configured now: answers
    // when its link starts. If the configured connection is changed meanwhile, done is
    // never called.
    void Ask(std::function<void(bool)> done);
    // Calls done(probe) later, on this thread, for the camera of connection, whatever is
    // configured.
    void Ask(const CameraConnection& connection, std::function<void(const CameraProbe&)> done);
    // Forgets every caller still waiting; an answer from a probe started before comes to
    // no one who asks later.
    void Cancel();
    bool Running() const { return m_running; }

private:
    struct Waiter
    {
        CameraConnection connection;
        bool configured;  // asked about the configured camera, not a given one
        unsigned epoch;
        std::function<void(const CameraProbe&)> done;
    };
    void Start();
    void Finished(const CameraProbe& probe);

    const Probe m_probe;
    std::thread m_thread;
    bool m_running = false;
    CameraConnection m_asked;  // of the running probe
    unsigned m_askedEpoch = 0;
    unsigned m_epoch = 0;      // counts Cancel
    std::vector<Waiter> m_waiters;
};
