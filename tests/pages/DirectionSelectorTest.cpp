// Direction selectors over real widgets: geometry, checking radios, what clicks post, and
// the factory presets they write.
#include "platform/WinMessages.h"
#include "settings/CameraSettings.h"
#include "controller/ControlRules.h"
#include "tests/support/RecordingWindow.h"
#include "ui/controls/BarDirectionSelector.h"
#include "ui/controls/DiscDirectionSelector.h"
#include "ui/controls/TriangleDirectionSelector.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

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

TEST(DirectionSelectorTest, EachSelectorOffersTheDirectionsTheRulesAllowItsKinds)
{
    // What remote control refuses as "no such direction" is what the picture has no radio for.
    CBarDirectionSelector bar;
    CDiscDirectionSelector disc;
    CTriangleDirectionSelector triangle;
    const std::pair<CDirectionSelector*, int> kinds[] = {{&disc, 1}, {&bar, 2}, {&triangle, 3}, {&disc, 4},
                                                         {&bar, 5}, {&disc, 6}};
    for (auto [selector, kind] : kinds) {
        std::vector<int> radios, allowed;
        for (int i = 0; i < selector->RadioCount(); ++i)
            radios.push_back(selector->RadioDirection(i));
        for (int d = 0; d <= 6; ++d)
            if (rules::KindHasDirection(kind, d))
                allowed.push_back(d);
        std::sort(radios.begin(), radios.end());
        EXPECT_EQ(radios, allowed) << "kind " << kind;
    }
}
}
