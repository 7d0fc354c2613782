#pragma once
// Reading of the MZC companion record (source kinds 4 and 5): byte 0 names the speakerphone
// model, byte 1 is a direction code of that model. Codes are translated to the posted
// directions, records of the other model are ignored, and only changes are posted.
#include "platform/WinTypes.h"
#include "tracking/ChangeFilter.h"

#include <optional>

struct CompanionReading
{
    int kind;        // source kind the record belongs to: 4 QVT-40S, 5 QVT-90X
    BYTE direction;  // 0..5, 255 none
};

// Model byte of the record.
constexpr BYTE kCompanionModel90X = 0;
constexpr BYTE kCompanionModel40S = 2;

// The posted direction of a record, or nothing for a model byte of no known model.
// lastPosted is what a QVT-40S code 4 ("no change") yields.
std::optional<CompanionReading> TranslateCompanionRecord(BYTE model, BYTE code, BYTE lastPosted);

class CompanionFilter
{
public:
    // Feeds one poll of the record; the direction to post, if any, for the selected kind.
    // Writes "0xff\n" to the debug output on every poll that translates to 255.
    std::optional<BYTE> Accept(BYTE model, BYTE code, int trackingDevice);

private:
    ChangeFilter m_change;
};
