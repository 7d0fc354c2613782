#include "tracking/micarray/MicArrayReadout.h"

void MicArrayReadout::Publish(const DoaDecision& decision)
{
    std::lock_guard lock(m_mutex);
    m_latest = decision;
}

std::optional<DoaDecision> MicArrayReadout::Latest() const
{
    std::lock_guard lock(m_mutex);
    return m_latest;
}

void MicArrayReadout::Clear()
{
    std::lock_guard lock(m_mutex);
    m_latest.reset();
}
