#pragma once
// The built-in preset tables, one per speakerphone shape, and the maps from a talker
// direction to a table column.
#include <cstdint>

// [distance 0..3][value 0..7][column 0..6]; values 0..3 are the Upside preset (pan, tilt,
// zoom, roll), 4..7 the Front preset, in the order and units of CamSetPosition.
struct FactoryTable
{
    std::int32_t values[4][8][7];
};

constexpr int kFactoryDistances = 4;
constexpr int kFactoryValues = 8;
constexpr int kFactoryColumns = 7;
constexpr int kNoColumn = -1;

// Column of each direction 0..6, kNoColumn where the shape has no such direction.
struct ColumnMap
{
    int column[7];
};

extern const FactoryTable kBarTable;
extern const FactoryTable kDiscTable;
extern const FactoryTable kTriangleTable;
extern const FactoryTable kTriangleReversedTable;

extern const ColumnMap kStraightColumns;       // direction = column (bar and disc, normal)
extern const ColumnMap kBarReversedColumns;    // 5, 4, 3, 2, 1, 0, 6
extern const ColumnMap kDiscReversedColumns;   // 3, 4, 5, 0, 1, 2, 6
extern const ColumnMap kTriangleColumns;       // 0, 1, 2, none, none, none, 3
