#include "tracking/CompanionFilter.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"

unsigned CompanionThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    SharedRecordSource source(kMzcRecordName, kMzcMutexName);
    if (!source.Attach(clock, kAttachRetryMs, g_bStopTracking))
        return 0;
    CompanionFilter filter;
    while (!g_bStopTracking.load()) {
        BYTE record[kTrackingRecordSize] = {};
        if (source.Read(record, kTrackingRecordSize, g_bStopTracking)) {
            if (const auto direction = filter.Accept(record[0], record[1], g_nTrackingDevice.load()))
                PostTrackingDirection(dialog, *direction);
        }
        clock.SleepUnless(kCompanionPeriodMs, g_bStopTracking);
    }
    return 0;
}
