// The factory presets of a direction selector: its shape's tables written into a settings
// record by the tracking area's loader.
#include "tracking/FactoryPresets.h"
#include "ui/controls/DirectionSelector.h"

void CDirectionSelector::LoadDefaultPresets(CCameraSettings* settings, int direction, int distance,
                                            BOOL reverse)
{
    // A hand-edited distance has no table row: the selector writes nothing for it rather
    // than guess a row.
    if (!settings || distance < 0 || distance >= kFactoryDistances)
        return;
    const FactoryTable& table = reverse ? *m_shape.reversedTable : *m_shape.table;
    const ColumnMap& columns = reverse ? *m_shape.reversedColumns : *m_shape.columns;
    ::LoadDefaultPresets(table, columns, settings, direction, distance);
}
