#include "tracking/DeviceFileFilter.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"

#include <fcntl.h>
#include <unistd.h>

unsigned DeviceFileThread(HWND dialog, CClock& clock)
{
    PostTrackingDirection(dialog, 255);
    DeviceFileFilter filter;
    // The speakerphone may be away at the start or go away later (unplugged, another model
    // in its place): it is opened again, once a second while it is missing.
    while (!g_bStopTracking.load()) {
        // Non-blocking, so that a device that sends nothing cannot hold up a stop.
        const int fd = ::open(TrackingDevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            clock.SleepUnless(kReopenRetryMs, g_bStopTracking);
            continue;
        }
        DeviceReportReader reader(fd);
        while (!g_bStopTracking.load()) {
            BYTE report[kDeviceReportSize];
            const bool read = reader.Read(report, g_bStopTracking);
            if (read) {
                const BYTE direction = report[kDeviceReportDirection];
                if (filter.Accept(direction, clock.GetTickCount()))
                    PostTrackingDirection(dialog, direction);
            }
            clock.SleepUnless(kDeviceFilePeriodMs, g_bStopTracking);
            if (!read)
                break;  // gone (end of file, an error): a replugged device is a new file
        }
        ::close(fd);
    }
    return 0;
}
