#include "firmware/FirmwareVersion.h"

std::int32_t ParseFirmwareVersion(const char* text)
{
    std::int32_t major = 0;
    std::int32_t minor = 0;
    int digits = 0;
    bool seenDigit = false;
    bool inMajor = true;
    for (const char* p = text; p && *p; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            seenDigit = true;
            if (digits < 2) {
                const int d = c - '0';
                if (inMajor)
                    major = major * 10 + d;
                else
                    minor += d << (8 * (1 - digits));
                ++digits;
            }
        } else if (c == '.' && seenDigit) {
            digits = 0;
            if (!inMajor)
                break;
            inMajor = false;
        }
    }
    return (major << 16) | minor;
}

bool IsUpdateNeeded(const char* currentVersion, const char* offeredVersion)
{
    return ParseFirmwareVersion(currentVersion) < ParseFirmwareVersion(offeredVersion);
}
