#pragma once
// What a tracking source needs beyond the window it posts to and its clock, handed to
// CTrackingWorker::Start by the controller. Only the microphone array (kind 6) needs any.
#include "tracking/micarray/MicArraySetup.h"

class MicArrayReadout;

struct TrackingContext
{
    MicArraySetup micArray;  // kind 6: the array to listen to, as the profile holds it
    // Kind 6: where each decision goes for the settings dialog's readout; the caller's, and
    // it outlives the worker. Null: nobody watches.
    MicArrayReadout* micArrayReadout = nullptr;
};
