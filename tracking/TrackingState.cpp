#include "tracking/TrackingState.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

std::atomic<int> g_bStopTracking{0};
std::atomic<int> g_nTrackingDevice{0};

void PostTrackingDirection(HWND dialog, BYTE direction)
{
    PostMessage(dialog, WM_TRACKING_DIRECTION, direction, 0);
}
