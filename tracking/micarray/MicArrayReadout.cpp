#include "tracking/micarray/MicArrayReadout.h"

#include <mutex>

namespace {
std::mutex g_mutex;
DoaDecision g_latest;
bool g_have = false;
} // namespace

void PublishReadout(const DoaDecision& decision)
{
    std::lock_guard lock(g_mutex);
    g_latest = decision;
    g_have = true;
}

bool LatestReadout(DoaDecision* decision)
{
    std::lock_guard lock(g_mutex);
    if (g_have)
        *decision = g_latest;
    return g_have;
}

void ClearReadout()
{
    std::lock_guard lock(g_mutex);
    g_have = false;
}
