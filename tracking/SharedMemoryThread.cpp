#include "tracking/ChangeFilter.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"

unsigned SharedMemoryThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    SharedRecordSource source(kQvt18TRRecordName, kQvt18TRMutexName);
    if (!source.Attach(clock, kAttachRetryMs, g_bStopTracking))
        return 0;
    ChangeFilter filter;
    while (!g_bStopTracking.load()) {
        BYTE direction = 255;
        if (source.Read(&direction, 1, g_bStopTracking) && filter.Accept(direction))
            PostTrackingDirection(dialog, direction);
        clock.SleepUnless(kSharedMemoryPeriodMs, g_bStopTracking);
    }
    return 0;
}
