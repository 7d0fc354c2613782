// Direction selectors over real widgets: geometry, checking radios, what clicks post, and
// the factory presets they write.
#include "platform/WinMessages.h"
#include "settings/CameraSettings.h"
#include "tracking/FactoryPresets.h"
#include "tests/support/RecordingWindow.h"
#include "ui/controls/BarDirectionSelector.h"
#include "ui/controls/DiscDirectionSelector.h"
#include "ui/controls/TriangleDirectionSelector.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {
std::vector<int> Checked(CDirectionSelector& s)
{
    std::vector<int> out;
    for (int i = 0; i < s.RadioCount(); ++i)
        if (s.Radio(i)->isChecked())
            out.push_back(i);
    return out;
}

// Clicks the given widgets (default: every radio); returns the messages of that kind posted.
std::vector<WPARAM> Click(RecordingWindow& w, CDirectionSelector& s, std::vector<QWidget*> widgets = {},
                          UINT message = WM_SELECT_DIRECTION)
{
    w.Clear();
    for (int i = 0; widgets.empty() && i < s.RadioCount(); ++i)
        QTest::mouseClick(s.Radio(i), Qt::LeftButton, {}, QPoint(8, 8));
    for (QWidget* widget : widgets)
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 8));
    QCoreApplication::sendPostedEvents();
    return w.Params(message);
}
using Params = std::vector<WPARAM>;

TEST(DirectionSelectorTest, LaidOut192WideCentresThePicture)
{
    CDiscDirectionSelector disc;
    EXPECT_EQ(disc.GetRequiredHeight(), 158);  // a 16 pixel check box
    disc.Layout(192, disc.GetRequiredHeight());
    EXPECT_EQ(disc.size(), QSize(192, 158));
    EXPECT_EQ(disc.PictureRect(), QRect(28, 2, 136, 136));
    EXPECT_EQ(disc.Radio(6)->pos(), QPoint(89, 63));  // (61, 61) on the picture
    EXPECT_EQ(disc.Radio(0)->pos(), QPoint(89, 110));
    EXPECT_EQ(disc.TrackingBox()->geometry(), QRect(28, 142, 136, 16));
    EXPECT_EQ(disc.TrackingBox()->text(), QStringLiteral("Enable Tracking"));

    // Narrower than the picture: the offset truncates toward zero.
    CTriangleDirectionSelector triangle;
    triangle.Layout(131, 158);
    EXPECT_EQ(triangle.Radio(3)->pos(), QPoint(59, 63));
}

TEST(DirectionSelectorTest, SetDirectionChecksOneRadioOrNone)
{
    CDiscDirectionSelector disc;
    CBarDirectionSelector bar;
    CTriangleDirectionSelector triangle;
    EXPECT_EQ(Checked(disc), std::vector{0});  // a new selector checks radio 0
    // (direction set, radio checked afterwards or -1 for none): 255 keeps the last one.
    const std::vector<std::pair<int, int>> sevenRadios{{4, 4}, {6, 6}, {255, 6}, {-1, -1}};
    const std::vector<std::pair<int, int>> triangleRadios{{6, 3}, {255, 3}, {4, 3}, {3, 3}, {2, 2}, {-1, -1}};
    for (auto [s, steps] : {std::pair<CDirectionSelector*, const std::vector<std::pair<int, int>>*>{&disc, &sevenRadios},
                            {&bar, &sevenRadios}, {&triangle, &triangleRadios}})
        for (auto [direction, radio] : *steps) {
            s->SetDirection(direction);
            EXPECT_EQ(Checked(*s), radio < 0 ? std::vector<int>{} : std::vector{radio}) << direction;
            if (s != &triangle) {
                EXPECT_EQ(s->GetDirection(), radio) << direction;
            }
        }
}

TEST(DirectionSelectorTest, RadiosPostTheirDirections)
{
    RecordingWindow window;
    auto run = [&window](CDirectionSelector& s) {
        s.SetMessageTarget(&window);
        s.Layout(192, s.GetRequiredHeight());
        s.show();
        return Click(window, s);
    };
    CDiscDirectionSelector disc;
    CBarDirectionSelector bar;
    CTriangleDirectionSelector triangle;
    EXPECT_EQ(run(disc), (Params{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(bar), (Params{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(triangle), (Params{0, 1, 2, 6}));
    EXPECT_EQ(Checked(triangle), std::vector{3});
    EXPECT_EQ(Click(window, triangle, {triangle.Radio(3)}), Params{6});  // checked: posts again
}

TEST(DirectionSelectorTest, TabIntoTheRadiosLandsOnTheChosenOne)
{
    QWidget dialog;
    auto* before = new QCheckBox(&dialog);
    auto* selector = new CDiscDirectionSelector(&dialog);
    selector->Layout(192, selector->GetRequiredHeight());
    selector->move(0, 20);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (int chosen : {4, 0, 6}) {
        selector->SetDirection(chosen);
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), selector->Radio(chosen)) << chosen;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), selector->TrackingBox()) << "one stop for the radios";
        QTest::keyClick(selector->TrackingBox(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), selector->Radio(chosen)) << chosen;
    }
}

TEST(DirectionSelectorTest, TrackingBoxPostsItsStateAndLocksTheRadios)
{
    RecordingWindow window;
    CBarDirectionSelector bar;
    bar.SetMessageTarget(&window);
    bar.Layout(192, bar.GetRequiredHeight());
    bar.show();

    EXPECT_EQ(Click(window, bar, {bar.TrackingBox()}, WM_TRACKING_ENABLE), Params{1});
    EXPECT_FALSE(bar.Radio(0)->isEnabled());
    Click(window, bar);
    EXPECT_TRUE(window.Messages().empty());  // a disabled radio posts nothing
    EXPECT_EQ(Click(window, bar, {bar.TrackingBox()}, WM_TRACKING_ENABLE), Params{0});
    EXPECT_TRUE(bar.Radio(6)->isEnabled());

    bar.SetTracking(TRUE);
    EXPECT_TRUE(bar.GetTracking());
    EXPECT_FALSE(bar.Radio(3)->isEnabled());
    EXPECT_TRUE(bar.TrackingBox()->isEnabled());
}

TEST(DirectionSelectorTest, EachSelectorLoadsItsSpeakerphonesTablesForEveryDistanceAndReverse)
{
    // The selectors the pages show, against the printed tables checked in the tracking tests.
    CBarDirectionSelector bar;
    CDiscDirectionSelector disc;
    CTriangleDirectionSelector triangle;
    for (auto [selector, variant] : {std::pair<CDirectionSelector*, const FactoryPresets*>{&bar, &BarFactoryPresets()},
                                     {&disc, &DiscFactoryPresets()}, {&triangle, &TriangleFactoryPresets()}})
        for (int distance = 0; distance < 4; ++distance)
            for (BOOL reverse : {FALSE, TRUE}) {
                CCameraSettings shown, printed;
                selector->LoadDefaultPresets(&shown, kAllDirections, distance, reverse);
                LoadDefaultPresets(*variant, &printed, kAllDirections, distance, reverse);
                EXPECT_EQ(shown, printed) << selector->metaObject()->className() << distance << reverse;
            }
    CCameraSettings settings;
    disc.LoadDefaultPresets(&settings, kAllDirections, 0, TRUE);  // reversed disc: direction 0 reads column 3
    EXPECT_EQ(settings.m_upPresets[0], CCameraPosition(90, 72, 47, 0));
    CCameraSettings one, expected;  // one direction: only its Front preset, from the "1m" row
    bar.LoadDefaultPresets(&one, 2, 3, FALSE);
    expected.m_frontPresets[2] = CCameraPosition(342, 64, 38, 90);
    EXPECT_EQ(one, expected);
}

TEST(DirectionSelectorTest, LoadDefaultPresetsRefusesWhatHasNoRow)
{
    CDiscDirectionSelector disc;
    const CCameraSettings fresh;
    CCameraSettings settings;
    for (auto [direction, distance] : {std::pair{255, -1}, {255, 4}, {255, 1000}, {7, 0}, {-3, 0}})
        disc.LoadDefaultPresets(&settings, direction, distance, FALSE);
    disc.LoadDefaultPresets(nullptr, 255, 0, FALSE);
    EXPECT_EQ(settings, fresh);
    // The triangle has no directions 3..5: a single one of them changes nothing, while
    // loading all writes those three as zeros.
    CTriangleDirectionSelector triangle;
    triangle.LoadDefaultPresets(&settings, 4, 1, FALSE);
    EXPECT_EQ(settings, fresh);
    triangle.LoadDefaultPresets(&settings, 255, 1, TRUE);
    EXPECT_EQ(settings.m_frontPresets[4], CCameraPosition(0, 0, 0, 0));
    EXPECT_EQ(settings.m_upPresets[3], CCameraPosition(0, 0, 0, 0));
    EXPECT_NE(settings.m_frontPresets[6], CCameraPosition(0, 0, 0, 0));
}
}
