#pragma once
// Waits that a stop request ends at once without polling for it: a sleep waits on a
// condition variable, a wait for a descriptor polls it together with a wake-up descriptor
// of the waiting thread. RaiseStop sets the flag and wakes both kinds. A flag written
// directly (flag = 1) is only seen when such a wait ends by itself.
#include <atomic>
#include <chrono>

// Sets flag to 1 and wakes every wait on it.
void RaiseStop(std::atomic<int>& flag);

// Waits up to timeout for flag to become nonzero; true when it is nonzero.
bool WaitForStop(const std::atomic<int>& flag, std::chrono::microseconds timeout);

enum class StopWait { Ready, Stopped, TimedOut, Failed };

// Waits until fd shows one of events, flag is raised or timeoutMs passes (negative: no
// limit). Ready stores fd's returned events (POLLHUP, POLLERR included) in *revents.
StopWait PollUnless(int fd, short events, const std::atomic<int>& flag, int timeoutMs,
                    short* revents = nullptr);
