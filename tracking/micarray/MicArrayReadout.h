#pragma once
// The last decision of a running microphone array source, for the settings dialog's live
// readout of the heard angle and level.
#include "tracking/micarray/DirectionFinder.h"

#include <cstdint>

void PublishReadout(const DoaDecision& decision);
// False while nothing was published since the last ClearReadout (no source running).
bool LatestReadout(DoaDecision* decision);
void ClearReadout();
