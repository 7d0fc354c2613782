// The factory tables as printed, the column maps and LoadDefaultPresets.
#include "settings/CameraSettings.h"
#include "tracking/FactoryPresets.h"

#include <gtest/gtest.h>

namespace {

enum Value { UpPan, UpTilt, UpZoom, FrontPan, FrontTilt, FrontZoom };

struct Cell
{
    int distance;
    Value value;
    int column;
    int expected;
};

int Read(const CCameraSettings& s, int direction, Value v)
{
    const CCameraPosition& up = s.m_upPresets[direction];
    const CCameraPosition& front = s.m_frontPresets[direction];
    switch (v) {
    case UpPan: return up.m_nPan;
    case UpTilt: return up.m_nTilt;
    case UpZoom: return up.m_nZoom;
    case FrontPan: return front.m_nPan;
    case FrontTilt: return front.m_nTilt;
    case FrontZoom: return front.m_nZoom;
    }
    return -1;
}

// One cell of every printed row, the columns rotating so every column is read too; the
// cells are read back through LoadDefaultPresets with all directions, reverse as given.
// columnDirection: the direction whose column is the cell's column.
void ExpectCells(const FactoryPresets& variant, BOOL reverse, const std::vector<Cell>& cells,
                 int (*columnDirection)(int))
{
    for (const Cell& c : cells) {
        CCameraSettings s;
        LoadDefaultPresets(variant, &s, kAllDirections, c.distance, reverse);
        EXPECT_EQ(Read(s, columnDirection(c.column), c.value), c.expected)
            << "distance " << c.distance << " value " << c.value << " column " << c.column;
    }
}

int Straight(int column) { return column; }
int TriangleDirection(int column) { return column == 3 ? 6 : column; }

}  // namespace

TEST(FactoryPresets, BarTableCells)
{
    ExpectCells(BarFactoryPresets(), FALSE, {
        {0, UpPan, 0, 65}, {0, UpTilt, 3, 75}, {0, UpZoom, 6, 42}, {0, FrontPan, 2, 360},
        {0, FrontTilt, 5, 49}, {0, FrontZoom, 1, 45}, {1, UpPan, 5, 160}, {1, UpTilt, 1, 76},
        {1, UpZoom, 4, 40}, {1, FrontPan, 0, 349}, {1, FrontTilt, 3, 20}, {1, FrontZoom, 6, 45},
        {2, UpPan, 3, 109}, {2, UpTilt, 6, 77}, {2, UpZoom, 2, 40}, {2, FrontPan, 5, 186},
        {2, FrontTilt, 1, 34}, {2, FrontZoom, 4, 38}, {3, UpPan, 1, 60}, {3, UpTilt, 4, 77},
        {3, UpZoom, 0, 31}, {3, FrontPan, 3, 186}, {3, FrontTilt, 6, 2}, {3, FrontZoom, 2, 38},
    }, Straight);
}

TEST(FactoryPresets, DiscTableCells)
{
    ExpectCells(DiscFactoryPresets(), FALSE, {
        {0, UpPan, 0, 265}, {0, UpTilt, 3, 72}, {0, UpZoom, 6, 47}, {0, FrontPan, 2, 189},
        {0, FrontTilt, 5, 45}, {0, FrontZoom, 1, 57}, {1, UpPan, 5, 1}, {1, UpTilt, 1, 53},
        {1, UpZoom, 4, 56}, {1, FrontPan, 0, 275}, {1, FrontTilt, 3, 13}, {1, FrontZoom, 6, 58},
        {2, UpPan, 3, 90}, {2, UpTilt, 6, 61}, {2, UpZoom, 2, 35}, {2, FrontPan, 5, 325},
        {2, FrontTilt, 1, 59}, {2, FrontZoom, 4, 46}, {3, UpPan, 1, 146}, {3, UpTilt, 4, 77},
        {3, UpZoom, 0, 132}, {3, FrontPan, 3, 241}, {3, FrontTilt, 6, 12}, {3, FrontZoom, 2, 32},
    }, Straight);
}

TEST(FactoryPresets, TriangleTableCells)
{
    ExpectCells(TriangleFactoryPresets(), FALSE, {
        {0, UpPan, 0, 92}, {0, UpTilt, 3, 54}, {0, UpZoom, 2, 67}, {0, FrontPan, 1, 180},
        {0, FrontTilt, 0, 10}, {0, FrontZoom, 3, 62}, {1, UpPan, 3, 94}, {1, UpTilt, 2, 61},
        {1, UpZoom, 1, 70}, {1, FrontPan, 0, 250}, {1, FrontTilt, 3, 18}, {1, FrontZoom, 2, 58},
        {2, UpPan, 2, 3}, {2, UpTilt, 1, 60}, {2, UpZoom, 0, 39}, {2, FrontPan, 3, 108},
        {2, FrontTilt, 2, 53}, {2, FrontZoom, 1, 73}, {3, UpPan, 1, 146}, {3, UpTilt, 0, 79},
        {3, UpZoom, 3, 70}, {3, FrontPan, 2, 332}, {3, FrontTilt, 1, 55}, {3, FrontZoom, 0, 27},
    }, TriangleDirection);
}

TEST(FactoryPresets, ReversedTriangleTableCells)
{
    ExpectCells(TriangleFactoryPresets(), TRUE, {
        {0, UpPan, 0, 270}, {0, UpTilt, 3, 54}, {0, UpZoom, 2, 30}, {0, FrontPan, 1, 341},
        {0, FrontTilt, 0, 10}, {0, FrontZoom, 3, 62}, {1, UpPan, 3, 94}, {1, UpTilt, 2, 75},
        {1, UpZoom, 1, 30}, {1, FrontPan, 0, 97}, {1, FrontTilt, 3, 18}, {1, FrontZoom, 2, 30},
        {2, UpPan, 2, 127}, {2, UpTilt, 1, 75}, {2, UpZoom, 0, 80}, {2, FrontPan, 3, 108},
        {2, FrontTilt, 2, 35}, {2, FrontZoom, 1, 22}, {3, UpPan, 1, 64}, {3, UpTilt, 0, 30},
        {3, UpZoom, 3, 70}, {3, FrontPan, 2, 196}, {3, FrontTilt, 1, 26}, {3, FrontZoom, 0, 83},
    }, TriangleDirection);
}

TEST(FactoryPresets, RollsAreZeroUpsideAndNinetyInFrontExceptTheTriangleSides)
{
    for (const FactoryPresets* v : {&BarFactoryPresets(), &DiscFactoryPresets()}) {
        for (int d = 0; d < 4; ++d) {
            CCameraSettings s;
            LoadDefaultPresets(*v, &s, kAllDirections, d, d % 2);
            for (int k = 0; k < 7; ++k) {
                EXPECT_EQ(s.m_upPresets[k].m_nRoll, 0);
                EXPECT_EQ(s.m_frontPresets[k].m_nRoll, 90);
            }
        }
    }
    const int normal[4][2] = {{90, 90}, {90, 90}, {75, 110}, {80, 100}};
    const int reversed[4][2] = {{90, 90}, {90, 90}, {90, 90}, {80, 100}};
    for (int d = 0; d < 4; ++d) {
        for (BOOL reverse : {FALSE, TRUE}) {
            CCameraSettings s;
            LoadDefaultPresets(TriangleFactoryPresets(), &s, kAllDirections, d, reverse);
            const auto& sides = reverse ? reversed[d] : normal[d];
            EXPECT_EQ(s.m_frontPresets[0].m_nRoll, 90);
            EXPECT_EQ(s.m_frontPresets[1].m_nRoll, sides[0]) << d;
            EXPECT_EQ(s.m_frontPresets[2].m_nRoll, sides[1]) << d;
            EXPECT_EQ(s.m_frontPresets[6].m_nRoll, 90);
            for (int k : {0, 1, 2, 6})
                EXPECT_EQ(s.m_upPresets[k].m_nRoll, 0);
        }
    }
}

TEST(FactoryPresets, WholePresetsOfTheDocumentedExamples)
{
    CCameraSettings disc;
    LoadDefaultPresets(DiscFactoryPresets(), &disc, kAllDirections, 3, FALSE);
    EXPECT_EQ(disc.m_upPresets[0], CCameraPosition(261, 31, 132, 0));
    EXPECT_EQ(disc.m_frontPresets[0], CCameraPosition(275, 20, 132, 90));

    CCameraSettings triangle;
    LoadDefaultPresets(TriangleFactoryPresets(), &triangle, kAllDirections, 2, FALSE);
    EXPECT_EQ(triangle.m_frontPresets[1], CCameraPosition(195, 53, 73, 75));
    EXPECT_EQ(triangle.m_frontPresets[2], CCameraPosition(340, 53, 73, 110));
}

TEST(FactoryPresets, ReversedBarAndDiscTakeMirroredColumns)
{
    // Front pans at "5cm" per direction 0..6 with reverse on (columns 5..0, 6 and 3,4,5,0,1,2,6).
    const int barPans[7] = {186, 185, 183, 360, 347, 351, 280};
    const int discPans[7] = {250, 351, 348, 275, 185, 189, 110};
    CCameraSettings bar, disc;
    LoadDefaultPresets(BarFactoryPresets(), &bar, kAllDirections, 0, TRUE);
    LoadDefaultPresets(DiscFactoryPresets(), &disc, kAllDirections, 0, TRUE);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(bar.m_frontPresets[k].m_nPan, barPans[k]) << k;
        EXPECT_EQ(disc.m_frontPresets[k].m_nPan, discPans[k]) << k;
    }
    EXPECT_EQ(bar.m_upPresets[0], CCameraPosition(164, 69, 54, 0));  // column 5
    EXPECT_EQ(disc.m_upPresets[0], CCameraPosition(90, 72, 47, 0));  // column 3
}

TEST(FactoryPresets, TriangleDirectionsWithoutAColumnBecomeZeroWhenLoadingAll)
{
    CCameraSettings s;
    LoadDefaultPresets(TriangleFactoryPresets(), &s, kAllDirections, 1, TRUE);
    for (int k : {3, 4, 5}) {
        EXPECT_EQ(s.m_upPresets[k], CCameraPosition(0, 0, 0, 0));
        EXPECT_EQ(s.m_frontPresets[k], CCameraPosition(0, 0, 0, 0));
    }
    EXPECT_EQ(s.m_frontPresets[6], CCameraPosition(107, 18, 41, 90));  // column 3
}

TEST(FactoryPresets, OneDirectionSetsOnlyItsFrontPreset)
{
    CCameraSettings s;
    const CCameraSettings before = s;
    LoadDefaultPresets(BarFactoryPresets(), &s, 4, 1, FALSE);
    EXPECT_EQ(s.m_frontPresets[4], CCameraPosition(186, 34, 41, 90));
    CCameraSettings expected = before;
    expected.m_frontPresets[4] = s.m_frontPresets[4];
    EXPECT_EQ(s, expected);  // Upside presets and the other directions untouched

    LoadDefaultPresets(BarFactoryPresets(), &s, 4, 1, TRUE);  // column 1
    EXPECT_EQ(s.m_frontPresets[4], CCameraPosition(348, 38, 38, 90));
}

TEST(FactoryPresets, DirectionsOutsideTheTableWriteNothing)
{
    CCameraSettings s;
    const CCameraSettings before = s;
    for (int direction : {7, 8, 100, 254, 256, -1})
        LoadDefaultPresets(DiscFactoryPresets(), &s, direction, 0, FALSE);
    for (int direction : {3, 4, 5})
        LoadDefaultPresets(TriangleFactoryPresets(), &s, direction, 0, FALSE);
    EXPECT_EQ(s, before);
    LoadDefaultPresets(DiscFactoryPresets(), nullptr, kAllDirections, 0, FALSE);  // no record: no crash
}

TEST(FactoryPresets, DistanceOutsideTheBoxReadsAsFiveCentimetres)
{
    CCameraSettings nearest;
    LoadDefaultPresets(BarFactoryPresets(), &nearest, kAllDirections, 0, FALSE);
    for (int distance : {-1, 4, 7, 1000000}) {
        CCameraSettings s;
        LoadDefaultPresets(BarFactoryPresets(), &s, kAllDirections, distance, FALSE);
        EXPECT_EQ(s, nearest) << distance;
    }
}
