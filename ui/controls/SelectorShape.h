#pragma once
// What distinguishes one direction selector from another: its speakerphone picture, its
// radios (where they sit on the picture and which direction each reports) and its
// factory preset tables with their direction-to-column maps.
#include "platform/WinTypes.h"
#include "tracking/FactoryTable.h"

struct SelectorRadio
{
    int direction;  // reported by a click: 0..5 talker directions, 6 the centre
    int x;          // top-left corner relative to the 136 x 136 picture
    int y;
};

struct SelectorShape
{
    UINT picture;  // bitmap id of the speakerphone's top view
    int radioCount;
    SelectorRadio radios[7];
    const FactoryTable* table;
    const FactoryTable* reversedTable;
    const ColumnMap* columns;
    const ColumnMap* reversedColumns;
};
