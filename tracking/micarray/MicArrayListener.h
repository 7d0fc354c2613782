#pragma once
// Listens to an array while no tracking worker does, so that the settings dialog's readout
// shows what the array hears: the capture and the direction finding on a thread of their
// own, publishing every decision into the readout as the worker would.
#include "tracking/micarray/MicArraySetup.h"

#include <atomic>
#include <thread>

class MicArrayReadout;

class MicArrayListener
{
public:
    // readout must outlive the listener.
    MicArrayListener(const MicArraySetup& setup, MicArrayReadout& readout);
    ~MicArrayListener();  // stops within a capture read (tens of milliseconds), clears the readout
    MicArrayListener(const MicArrayListener&) = delete;
    MicArrayListener& operator=(const MicArrayListener&) = delete;

private:
    void Run(MicArraySetup setup);

    MicArrayReadout& m_readout;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
