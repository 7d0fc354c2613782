#pragma once
// One running controller per login session: the single-instance mutex is an exclusive lock
// on a file named after it in $XDG_RUNTIME_DIR. It is only a marker, never waited on.
#include "platform/NamedLock.h"

#include <memory>

// The lock while this process holds it; null otherwise.
extern std::unique_ptr<NamedLock> g_hSingleInstanceMutex;

// 0 when this process now holds the mutex name; 1 when another process holds it or the lock
// file cannot be made. globalFlag puts it in the machine-wide namespace instead.
int AcquireSingleInstance(const char* name, bool globalFlag);

// Lets the mutex go (nothing when it is not held).
void ReleaseSingleInstance();
