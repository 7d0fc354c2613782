#pragma once
// Listens to an array while no tracking worker does, so that the settings dialog's readout
// shows what the array hears: the capture and the direction finding on a thread of their
// own, publishing every decision as the worker would (MicArrayReadout.h).
#include "tracking/micarray/MicArraySetup.h"

#include <atomic>
#include <thread>

class MicArrayListener
{
public:
    explicit MicArrayListener(const MicArraySetup& setup);
    ~MicArrayListener();  // stops within a capture read (tens of milliseconds)
    MicArrayListener(const MicArrayListener&) = delete;
    MicArrayListener& operator=(const MicArrayListener&) = delete;

private:
    void Run(MicArraySetup setup);

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
