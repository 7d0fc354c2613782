#include "tracking/TrackingWorker.h"

#include "platform/StopWait.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"

TrackingProcedure TrackingProcedureForKind(int kind, const TrackingContext& context)
{
    switch (kind) {
    case kTrackingQvt40S: return DeviceFileThread;
    case kTrackingQvt90UX: return UsbLibraryThread;
    case kTrackingQvt18TR: return SharedMemoryThread;
    case kTrackingQvt40SMzc:
    case kTrackingQvt90XMzc: return CompanionThread;
    case kTrackingMicArray:
        return [context](HWND dialog, CClock& clock) { return MicArrayThread(dialog, clock, context); };
    default: return nullptr;
    }
}

CTrackingWorker::~CTrackingWorker()
{
    Stop();
}

BOOL CTrackingWorker::Start(int kind, HWND dialog, CClock& clock, const TrackingContext& context)
{
    if (m_thread.joinable())
        return FALSE;
    TrackingProcedure procedure = TrackingProcedureForKind(kind, context);
    if (!procedure)
        return FALSE;
    g_bStopTracking = 0;
    g_nTrackingDevice = kind;
    m_ended = false;
    m_thread = std::thread([this, procedure = std::move(procedure), dialog, &clock] {
        procedure(dialog, clock);
        m_ended = true;
    });
    return TRUE;
}

void CTrackingWorker::Stop()
{
    if (!m_thread.joinable())
        return;
    RaiseStop(g_bStopTracking);  // wakes the worker's sleep or descriptor wait at once
    m_thread.join();
}
