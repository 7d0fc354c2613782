#include "tracking/FactoryPresets.h"

#include "settings/CameraSettings.h"
#include "settings/SettingRanges.h"

namespace {

CCameraPosition Preset(const FactoryTable& table, int distance, int firstValue, int column)
{
    if (column == kNoColumn)
        return CCameraPosition(0, 0, 0, 0);
    const auto& rows = table.values[distance];
    return CCameraPosition(rows[firstValue][column], rows[firstValue + 1][column],
                           rows[firstValue + 2][column], rows[firstValue + 3][column]);
}

constexpr int kUpsideValues = 0;
constexpr int kFrontValues = 4;

}  // namespace

const FactoryPresets& BarFactoryPresets()
{
    static const FactoryPresets presets{&kBarTable, &kBarTable, &kStraightColumns, &kBarReversedColumns};
    return presets;
}

const FactoryPresets& DiscFactoryPresets()
{
    static const FactoryPresets presets{&kDiscTable, &kDiscTable, &kStraightColumns, &kDiscReversedColumns};
    return presets;
}

const FactoryPresets& TriangleFactoryPresets()
{
    static const FactoryPresets presets{&kTriangleTable, &kTriangleReversedTable, &kTriangleColumns,
                                        &kTriangleColumns};
    return presets;
}

void LoadDefaultPresets(const FactoryTable& table, const ColumnMap& columns, CCameraSettings* settings,
                        int direction, int distance)
{
    if (!settings)
        return;
    distance = ClampDistanceIndex(distance);
    if (direction == kAllDirections) {
        for (int k = 0; k < CCameraSettings::kDirections; ++k) {
            const int column = columns.column[k];
            settings->m_upPresets[k] = Preset(table, distance, kUpsideValues, column);
            settings->m_frontPresets[k] = Preset(table, distance, kFrontValues, column);
        }
        return;
    }
    if (direction < 0 || direction >= CCameraSettings::kDirections)
        return;
    const int column = columns.column[direction];
    if (column != kNoColumn)
        settings->m_frontPresets[direction] = Preset(table, distance, kFrontValues, column);
}

void LoadDefaultPresets(const FactoryPresets& variant, CCameraSettings* settings, int direction, int distance,
                        BOOL reverse)
{
    if (reverse)
        LoadDefaultPresets(*variant.reversedTable, *variant.reversedColumns, settings, direction, distance);
    else
        LoadDefaultPresets(*variant.table, *variant.columns, settings, direction, distance);
}

const FactoryPresets* FactoryPresetsForKind(int kind)
{
    switch (kind) {
    case 1:
    case 4:
    case 6: return &DiscFactoryPresets();
    case 2:
    case 5: return &BarFactoryPresets();
    case 3: return &TriangleFactoryPresets();
    default: return nullptr;
    }
}
