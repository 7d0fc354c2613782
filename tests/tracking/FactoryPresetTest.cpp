// The factory tables as printed, the column maps and LoadDefaultPresets.
#include "settings/CameraSettings.h"
#include "tracking/FactoryPresets.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Cell i is distance i / 6 and value i % 6 (Upside pan, tilt, zoom, then front pan, tilt,
// zoom) of the given column: one cell of every printed row, the columns rotating so every
// column is read too. Read back through LoadDefaultPresets with all directions.
struct Cell { int column, expected; };
void ExpectCells(const FactoryPresets& variant, BOOL reverse, const std::array<Cell, 24>& cells)
{
    const bool triangle = &variant == &TriangleFactoryPresets();
    for (int i = 0; i < 24; ++i) {
        CCameraSettings s;
        LoadDefaultPresets(variant, &s, kAllDirections, i / 6, reverse);
        const int direction = triangle && cells[i].column == 3 ? 6 : cells[i].column;
        const CCameraPosition& p = (i % 6 < 3 ? s.m_upPresets : s.m_frontPresets)[direction];
        const int values[3] = {p.m_nPan, p.m_nTilt, p.m_nZoom};
        EXPECT_EQ(values[i % 3], cells[i].expected) << "cell " << i << " column " << cells[i].column;
    }
}

}  // namespace

TEST(FactoryPresets, TableCellsOfEachVariantAndTheReversedTriangle)
{
    ExpectCells(BarFactoryPresets(), FALSE, {{{0, 65}, {3, 75}, {6, 42}, {2, 360}, {5, 49}, {1, 45},
        {5, 160}, {1, 76}, {4, 40}, {0, 349}, {3, 20}, {6, 45}, {3, 109}, {6, 77}, {2, 40}, {5, 186},
        {1, 34}, {4, 38}, {1, 60}, {4, 77}, {0, 31}, {3, 186}, {6, 2}, {2, 38}}});
    ExpectCells(DiscFactoryPresets(), FALSE, {{{0, 265}, {3, 72}, {6, 47}, {2, 189}, {5, 45}, {1, 57},
        {5, 1}, {1, 53}, {4, 56}, {0, 275}, {3, 13}, {6, 58}, {3, 90}, {6, 61}, {2, 35}, {5, 325},
        {1, 59}, {4, 46}, {1, 146}, {4, 77}, {0, 132}, {3, 241}, {6, 12}, {2, 32}}});
    ExpectCells(TriangleFactoryPresets(), FALSE, {{{0, 92}, {3, 54}, {2, 67}, {1, 180}, {0, 10}, {3, 62},
        {3, 94}, {2, 61}, {1, 70}, {0, 250}, {3, 18}, {2, 58}, {2, 3}, {1, 60}, {0, 39}, {3, 108},
        {2, 53}, {1, 73}, {1, 146}, {0, 79}, {3, 70}, {2, 332}, {1, 55}, {0, 27}}});
    ExpectCells(TriangleFactoryPresets(), TRUE, {{{0, 270}, {3, 54}, {2, 30}, {1, 341}, {0, 10}, {3, 62},
        {3, 94}, {2, 75}, {1, 30}, {0, 97}, {3, 18}, {2, 30}, {2, 127}, {1, 75}, {0, 80}, {3, 108},
        {2, 35}, {1, 22}, {1, 64}, {0, 30}, {3, 70}, {2, 196}, {1, 26}, {0, 83}}});
}

TEST(FactoryPresets, RollsAreZeroUpsideAndNinetyInFrontExceptTheTriangleSides)
{
    // Front rolls of triangle directions 1 and 2 per distance, normal then reversed.
    const int sides[2][4][2] = {{{90, 90}, {90, 90}, {75, 110}, {80, 100}},
                                {{90, 90}, {90, 90}, {90, 90}, {80, 100}}};
    for (const FactoryPresets* v : {&BarFactoryPresets(), &DiscFactoryPresets(), &TriangleFactoryPresets()})
        for (int d = 0; d < 4; ++d)
            for (BOOL reverse : {FALSE, TRUE}) {
                CCameraSettings s;
                LoadDefaultPresets(*v, &s, kAllDirections, d, reverse);
                const bool triangle = v == &TriangleFactoryPresets();
                for (int k : triangle ? std::vector<int>{0, 1, 2, 6} : std::vector<int>{0, 1, 2, 3, 4, 5, 6}) {
                    const int front = triangle && (k == 1 || k == 2) ? sides[reverse][d][k - 1] : 90;
                    EXPECT_EQ(s.m_upPresets[k].m_nRoll, 0) << d << " " << k;
                    EXPECT_EQ(s.m_frontPresets[k].m_nRoll, front) << d << " " << k;
                }
            }
}

TEST(FactoryPresets, WholePresetsOfTheDocumentedExamples)
{
    CCameraSettings disc, triangle;
    LoadDefaultPresets(DiscFactoryPresets(), &disc, kAllDirections, 3, FALSE);
    EXPECT_EQ(disc.m_upPresets[0], CCameraPosition(261, 31, 132, 0));
    EXPECT_EQ(disc.m_frontPresets[0], CCameraPosition(275, 20, 132, 90));
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

TEST(FactoryPresets, OneDirectionSetsOnlyItsFrontPresetAndOthersNothing)
{
    CCameraSettings s;
    CCameraSettings expected = s;
    LoadDefaultPresets(BarFactoryPresets(), &s, 4, 1, FALSE);
    expected.m_frontPresets[4] = CCameraPosition(186, 34, 41, 90);
    EXPECT_EQ(s, expected);  // Upside presets and the other directions untouched
    LoadDefaultPresets(BarFactoryPresets(), &s, 4, 1, TRUE);  // column 1
    EXPECT_EQ(s.m_frontPresets[4], CCameraPosition(348, 38, 38, 90));

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

TEST(FactoryPresets, EachKindHasItsSpeakerphonesTables)
{
    // A microphone array is placed like the QVT-40S disc.
    const std::pair<int, const FactoryPresets*> kinds[] = {
        {0, nullptr}, {1, &DiscFactoryPresets()}, {2, &BarFactoryPresets()}, {3, &TriangleFactoryPresets()},
        {4, &DiscFactoryPresets()}, {5, &BarFactoryPresets()}, {6, &DiscFactoryPresets()}, {7, nullptr}, {-1, nullptr}};
    for (auto [kind, variant] : kinds)
        EXPECT_EQ(FactoryPresetsForKind(kind), variant) << kind;
}
