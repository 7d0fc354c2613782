#pragma once
// The tracking worker thread as the controller dialog holds it: at most one, started for
// a source kind and stopped by raising g_bStopTracking and joining.
#include "platform/Clock.h"
#include "platform/WinTypes.h"
#include "tracking/TrackingContext.h"

#include <atomic>
#include <functional>
#include <thread>

using TrackingProcedure = std::function<unsigned(HWND, CClock&)>;

// The reading procedure of a source kind, holding what it needs of context; empty for
// kind 0 and unknown kinds.
TrackingProcedure TrackingProcedureForKind(int kind, const TrackingContext& context = {});

class CTrackingWorker
{
public:
    CTrackingWorker() = default;
    ~CTrackingWorker();  // stops a running worker
    CTrackingWorker(const CTrackingWorker&) = delete;
    CTrackingWorker& operator=(const CTrackingWorker&) = delete;

    // Starts the procedure of kind, posting to dialog, timed by clock (which must outlive
    // the worker), given what context holds for that kind (copied; its readout must outlive
    // the worker). FALSE when a worker is still held or kind has no procedure.
    // Sets g_bStopTracking = 0 and g_nTrackingDevice = kind first.
    BOOL Start(int kind, HWND dialog, CClock& clock, const TrackingContext& context = {});

    // Asks the worker to end and waits for it; returns within about 50 ms for every kind.
    // Nothing happens when no worker is held.
    void Stop();

    // True from Start until Stop, also after a worker whose source could not be opened
    // ended by itself (the thread handle is still held, as m_hTrackingThread would be).
    bool IsRunning() const { return m_thread.joinable(); }

    // True once the procedure has returned: by itself (its source could not be opened)
    // or after Stop.
    bool HasEnded() const { return m_ended.load(); }

private:
    std::thread m_thread;
    std::atomic<bool> m_ended{false};
};
