#pragma once
// FFTW's planner is not thread-safe: every plan made or destroyed in this program takes
// this lock (executing a plan needs none).
#include <mutex>

std::mutex& FftwPlannerMutex();
