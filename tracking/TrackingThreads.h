#pragma once
// The reading procedures of the tracking worker, one per kind of source. Each runs
// on the worker thread, posts 255 first, then the filtered directions, to dialog as
// WM_TRACKING_DIRECTION, until g_bStopTracking is set; each returns 0.
// The clock gives their periods and the filters' times.
#include "platform/Clock.h"
#include "platform/WinTypes.h"

struct TrackingContext;

unsigned DeviceFileThread(HWND dialog, CClock& clock);    // kind 1, QVT-40S device file
unsigned UsbLibraryThread(HWND dialog, CClock& clock);    // kind 2, QVT-90UX library
unsigned SharedMemoryThread(HWND dialog, CClock& clock);  // kind 3, QVT-18TR record
unsigned CompanionThread(HWND dialog, CClock& clock);     // kinds 4 and 5, MZC record
// Kind 6, microphone array: listens to context.micArray and publishes every decision into
// context.micArrayReadout (when given).
unsigned MicArrayThread(HWND dialog, CClock& clock, const TrackingContext& context);

constexpr DWORD kDeviceFilePeriodMs = 100;
constexpr DWORD kUsbLibraryPeriodMs = 250;
constexpr DWORD kSharedMemoryPeriodMs = 1000;
constexpr DWORD kCompanionPeriodMs = 100;
constexpr DWORD kAttachRetryMs = 100;
// A speakerphone that does not open (unplugged, another model in the room) is tried again
// this often until it opens or tracking stops: the ticked box keeps its promise.
constexpr DWORD kReopenRetryMs = 1000;
