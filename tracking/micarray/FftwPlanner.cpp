#include "tracking/micarray/FftwPlanner.h"

std::mutex& FftwPlannerMutex()
{
    static std::mutex mutex;
    return mutex;
}
