#include "tracking/DeviceFileFilter.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"

#include <fcntl.h>
#include <unistd.h>

unsigned DeviceFileThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    // Non-blocking, so that a device that sends nothing cannot hold up a stop.
    int fd = -1;
    while ((fd = ::open(TrackingDevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) < 0) {
        if (clock.SleepUnless(kReopenRetryMs, g_bStopTracking))
            return 0;  // stopped while the speakerphone was away
    }

    DeviceReportReader reader(fd);
    DeviceFileFilter filter;
    while (!g_bStopTracking.load()) {
        BYTE report[kDeviceReportSize];
        if (reader.Read(report, g_bStopTracking)) {
            const BYTE direction = report[kDeviceReportDirection];
            if (filter.Accept(direction, clock.GetTickCount()))
                PostTrackingDirection(dialog, direction);
        }
        clock.SleepUnless(kDeviceFilePeriodMs, g_bStopTracking);
    }
    ::close(fd);
    return 0;
}
