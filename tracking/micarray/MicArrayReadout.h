#pragma once
// The last decision of a running microphone array source, for the settings dialog's live
// readout of the heard angle and level. Owned by whoever starts the listening (the
// controller): the worker or the dialog's own listener publishes into it from its thread,
// the dialog reads it on the user-interface thread.
#include "tracking/micarray/DirectionFinder.h"

#include <mutex>
#include <optional>

class MicArrayReadout
{
public:
    void Publish(const DoaDecision& decision);
    // Nothing while nothing was published since the last Clear (no source running).
    std::optional<DoaDecision> Latest() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::optional<DoaDecision> m_latest;
};
