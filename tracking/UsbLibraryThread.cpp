#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"
#include "tracking/UsbLibraryFilter.h"
#include "tracking/UxLibrary.h"

unsigned UsbLibraryThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    UxLibrary library;
    if (!library.Load())
        return 0;  // an incomplete installation: nothing to wait for
    char version[kUxVersionSize] = {};
    UXHANDLE handle = nullptr;
    while (!(handle = library.open(0, 0, version))) {
        if (clock.SleepUnless(kReopenRetryMs, g_bStopTracking))
            return 0;  // stopped while the speakerphone was away
    }

    // Speakerphones before 1.32 do not report directions.
    if (UsbVersionValue(version) >= kUsbMinimumVersion && !g_bStopTracking.load()) {
        UsbLibraryFilter filter;
        do {
            unsigned char buffer[4] = {kUxDirectionQuery, 0, 0, 0};
            if (library.request(handle, kUxRequestDirection, buffer) == 0) {
                if (filter.Accept(buffer[1], clock.GetTickCount()))
                    PostTrackingDirection(dialog, buffer[1]);
            }
            clock.SleepUnless(kUsbLibraryPeriodMs, g_bStopTracking);
        } while (!g_bStopTracking.load());
    }
    library.close(handle);
    return 0;
}
