#pragma once
// Firmware version texts as the camera and the firmware file give them ("2.03", "Ver2.3").
#include <cstdint>

// (major << 16) | minor. Letters are skipped; the first full stop after a digit starts the
// minor part, the next one ends reading. Each part keeps its first two digits; the minor
// part counts as two decimal places (2.3 == 2.30 > 2.10 > 2.03).
std::int32_t ParseFirmwareVersion(const char* text);

// True when the offered version is newer than the current one. Otherwise the update is
// not needed, and the user is asked whether to go on anyway.
bool IsUpdateNeeded(const char* currentVersion, const char* offeredVersion);
