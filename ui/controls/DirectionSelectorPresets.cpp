// The factory presets of a direction selector: its shape's tables written into a settings
// record.
#include "settings/CameraSettings.h"
#include "ui/controls/DirectionSelector.h"

namespace {
CCameraPosition PresetAt(const FactoryTable& table, int distance, int firstValue, int column)
{
    const auto& row = table.values[distance];
    return CCameraPosition(row[firstValue][column], row[firstValue + 1][column],
                           row[firstValue + 2][column], row[firstValue + 3][column]);
}
}

void CDirectionSelector::LoadDefaultPresets(CCameraSettings* settings, int direction, int distance,
                                            BOOL reverse)
{
    // A hand-edited distance has no table row; reading past the table would hand the camera
    // arbitrary memory as positions.
    if (!settings || distance < 0 || distance >= kFactoryDistances)
        return;
    const FactoryTable& table = reverse ? *m_shape.reversedTable : *m_shape.table;
    const ColumnMap& columns = reverse ? *m_shape.reversedColumns : *m_shape.columns;

    if (direction == 255)
    {
        for (int d = 0; d < CCameraSettings::kDirections; ++d)
        {
            const int column = columns.column[d];
            if (column == kNoColumn)
            {
                // A direction the shape never reports gets an all-zero preset.
                settings->m_upPresets[d] = CCameraPosition(0, 0, 0, 0);
                settings->m_frontPresets[d] = CCameraPosition(0, 0, 0, 0);
                continue;
            }
            settings->m_upPresets[d] = PresetAt(table, distance, 0, column);
            settings->m_frontPresets[d] = PresetAt(table, distance, 4, column);
        }
    }
    else if (direction >= 0 && direction < CCameraSettings::kDirections)
    {
        const int column = columns.column[direction];
        if (column != kNoColumn)
            settings->m_frontPresets[direction] = PresetAt(table, distance, 4, column);
    }
}
