#include "app/SingleInstance.h"

#include <string>

std::unique_ptr<NamedLock> g_hSingleInstanceMutex;

int AcquireSingleInstance(const char* name, bool globalFlag)
{
    // The name is cut to 255 characters with the "Global\" prefix included, as a mutex name.
    std::string full = globalFlag ? std::string("Global\\") + name : std::string(name);
    if (full.size() > 255)
        full.resize(255);
    auto lock = std::make_unique<NamedLock>(SingleInstanceLockPath(full));
    if (!lock->TryLock())
        return 1;
    g_hSingleInstanceMutex = std::move(lock);
    return 0;
}

void ReleaseSingleInstance()
{
    g_hSingleInstanceMutex.reset();
}
