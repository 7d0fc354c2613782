#include "tracking/micarray/MicArrayListener.h"

#include "tracking/micarray/AudioCapture.h"
#include "tracking/micarray/DirectionFinder.h"
#include "tracking/micarray/MicArrayReadout.h"

MicArrayListener::MicArrayListener(const MicArraySetup& setup, MicArrayReadout& readout)
    : m_readout(readout),
      m_thread([this, setup] { Run(setup); })
{
}

MicArrayListener::~MicArrayListener()
{
    m_stop = true;
    m_thread.join();
    m_readout.Clear();
}

void MicArrayListener::Run(MicArraySetup setup)
{
    const auto geometry = ParseArrayGeometry(setup.geometry);
    if (!geometry)
        return;
    if (setup.device.empty()) {
        const auto devices = ListCaptureDevices();
        if (devices.empty())
            return;
        setup.device = devices.front().name;
    }
    std::string error;
    const auto capture = OpenAlsaCapture(setup.device, geometry->Channels(), &error);
    if (!capture)
        return;
    DirectionFinder finder(*geometry, capture->Rate());
    std::vector<float> block(256 * geometry->Channels());
    std::vector<DoaDecision> decisions;
    while (!m_stop) {
        const long frames = capture->Read(block.data(), 256);
        if (frames < 0)
            return;
        decisions.clear();
        finder.Feed(block.data(), std::size_t(frames), decisions);
        for (const DoaDecision& d : decisions)
            m_readout.Publish(d);
    }
}
