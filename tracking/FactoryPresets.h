#pragma once
// Writing the factory presets of a speakerphone shape into a camera settings record. Each
// direction selector variant (bar, disc, triangle) has its tables and column maps; the
// selectors' LoadDefaultPresets forwards here with its own variant.
#include "platform/WinTypes.h"
#include "tracking/FactoryTable.h"

class CCameraSettings;

struct FactoryPresets
{
    const FactoryTable* table;          // reverse off
    const FactoryTable* reversedTable;  // reverse on
    const ColumnMap* columns;
    const ColumnMap* reversedColumns;
};

const FactoryPresets& BarFactoryPresets();       // CBarDirectionSelector: kinds 2 and 5
const FactoryPresets& DiscFactoryPresets();      // CDiscDirectionSelector: kinds 1 and 4
const FactoryPresets& TriangleFactoryPresets();  // CTriangleDirectionSelector: kind 3

constexpr int kAllDirections = 255;

// direction 255: the Upside and Front presets of all seven directions; a direction without
// a column (triangle 3..5) gets 0, 0, 0, 0 in both. direction 0..6: that direction's Front
// preset only, nothing for a direction without a column. Any other direction writes
// nothing. A distance outside 0..3 (a hand-edited profile) is read as 0, "5cm", as an
// imported setting file is clamped.
void LoadDefaultPresets(const FactoryTable& table, const ColumnMap& columns, CCameraSettings* settings,
                        int direction, int distance);

// The same with the variant's table and map for reverse.
void LoadDefaultPresets(const FactoryPresets& variant, CCameraSettings* settings, int direction,
                        int distance, BOOL reverse);

// The variant of a tracking source kind: the disc for kinds 1, 4 and 6 (a microphone array
// is placed like the QVT-40S), the bar for 2 and 5, the triangle for 3; null for kind 0 and
// unknown kinds.
const FactoryPresets* FactoryPresetsForKind(int kind);
