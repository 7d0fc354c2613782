#include "tracking/CompanionFilter.h"

#include "platform/DebugLog.h"

std::optional<CompanionReading> TranslateCompanionRecord(BYTE model, BYTE code, BYTE lastPosted)
{
    if (model == kCompanionModel90X)
        return CompanionReading{5, code <= 5 ? code : BYTE(255)};
    if (model == kCompanionModel40S) {
        // The QVT-40S reports 8 codes for its 6 sectors: 0 and 1 share sector 0, 4 means
        // "unchanged".
        static constexpr BYTE kSector[8] = {0, 0, 1, 2, 0, 3, 4, 5};
        if (code == 4)
            return CompanionReading{4, lastPosted};
        return CompanionReading{4, code <= 7 ? kSector[code] : BYTE(255)};
    }
    return std::nullopt;
}

std::optional<BYTE> CompanionFilter::Accept(BYTE model, BYTE code, int trackingDevice)
{
    const auto reading = TranslateCompanionRecord(model, code, m_change.LastPosted());
    if (!reading)
        return std::nullopt;
    if (reading->direction == 255)
        OutputDebugStringA("0xff\n");
    if (reading->kind != trackingDevice || !m_change.Accept(reading->direction))
        return std::nullopt;
    return reading->direction;
}
