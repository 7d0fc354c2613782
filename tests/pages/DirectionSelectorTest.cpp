// Direction selectors over real widgets: geometry, checking radios, what clicks post, and
// the factory presets they write.
#include "platform/WinMessages.h"
#include "settings/CameraSettings.h"
#include "tests/support/RecordingWindow.h"
#include "ui/controls/BarDirectionSelector.h"
#include "ui/controls/DiscDirectionSelector.h"
#include "ui/controls/TriangleDirectionSelector.h"

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

std::vector<WPARAM> ClickEveryRadio(CDirectionSelector& s, RecordingWindow& w)
{
    for (int i = 0; i < s.RadioCount(); ++i)
        QTest::mouseClick(s.Radio(i), Qt::LeftButton, {}, QPoint(8, 8));
    QCoreApplication::sendPostedEvents();
    return w.Params(WM_SELECT_DIRECTION);
}

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
    for (CDirectionSelector* s : {static_cast<CDirectionSelector*>(&disc),
                                  static_cast<CDirectionSelector*>(&bar)})
    {
        s->SetDirection(4);
        EXPECT_EQ(Checked(*s), std::vector{4});
        s->SetDirection(6);
        EXPECT_EQ(Checked(*s), std::vector{6});
        s->SetDirection(255);
        EXPECT_EQ(Checked(*s), std::vector{6});
        EXPECT_EQ(s->GetDirection(), 6);
        s->SetDirection(-1);
        EXPECT_TRUE(Checked(*s).empty());
        EXPECT_EQ(s->GetDirection(), -1);
    }
    for (int centre : {6, 255, 4, 3})
    {
        triangle.SetDirection(centre);
        EXPECT_EQ(Checked(triangle), std::vector{3}) << centre;
    }
    triangle.SetDirection(2);
    EXPECT_EQ(Checked(triangle), std::vector{2});
    triangle.SetDirection(-1);
    EXPECT_TRUE(Checked(triangle).empty());
}

TEST(DirectionSelectorTest, RadiosPostTheirDirections)
{
    RecordingWindow window;
    auto run = [&window](CDirectionSelector& s) {
        window.Clear();
        s.SetMessageTarget(&window);
        s.Layout(192, s.GetRequiredHeight());
        s.show();
        return ClickEveryRadio(s, window);
    };
    CDiscDirectionSelector disc;
    CBarDirectionSelector bar;
    CTriangleDirectionSelector triangle;
    EXPECT_EQ(run(disc), (std::vector<WPARAM>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(bar), (std::vector<WPARAM>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(run(triangle), (std::vector<WPARAM>{0, 1, 2, 6}));
    EXPECT_EQ(Checked(triangle), std::vector{3});

    // The checked radio posts again when clicked.
    window.Clear();
    QTest::mouseClick(triangle.Radio(3), Qt::LeftButton, {}, QPoint(8, 8));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(window.Params(WM_SELECT_DIRECTION), (std::vector<WPARAM>{6}));
}

TEST(DirectionSelectorTest, TrackingBoxPostsItsStateAndLocksTheRadios)
{
    RecordingWindow window;
    CBarDirectionSelector bar;
    bar.SetMessageTarget(&window);
    bar.Layout(192, bar.GetRequiredHeight());
    bar.show();

    QTest::mouseClick(bar.TrackingBox(), Qt::LeftButton, {}, QPoint(6, 8));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(window.Params(WM_TRACKING_ENABLE), (std::vector<WPARAM>{1}));
    EXPECT_FALSE(bar.Radio(0)->isEnabled());

    // A disabled radio posts nothing.
    window.Clear();
    ClickEveryRadio(bar, window);
    EXPECT_TRUE(window.Messages().empty());

    QTest::mouseClick(bar.TrackingBox(), Qt::LeftButton, {}, QPoint(6, 8));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(window.Params(WM_TRACKING_ENABLE), (std::vector<WPARAM>{0}));
    EXPECT_TRUE(bar.Radio(6)->isEnabled());

    bar.SetTracking(TRUE);
    EXPECT_TRUE(bar.GetTracking());
    EXPECT_FALSE(bar.Radio(3)->isEnabled());
    EXPECT_TRUE(bar.TrackingBox()->isEnabled());
}

TEST(DirectionSelectorTest, LoadDefaultPresetsWritesTheRowOfTheDistance)
{
    CBarDirectionSelector bar;
    CCameraSettings settings;
    bar.LoadDefaultPresets(&settings, 255, 0, FALSE);
    EXPECT_EQ(settings.m_upPresets[0], CCameraPosition(65, 75, 39, 0));
    EXPECT_EQ(settings.m_frontPresets[0], CCameraPosition(351, 25, 38, 90));
    EXPECT_EQ(settings.m_frontPresets[6], CCameraPosition(280, 0, 45, 90));

    // Reversed, direction 0 reads column 5.
    bar.LoadDefaultPresets(&settings, 255, 0, TRUE);
    EXPECT_EQ(settings.m_upPresets[0], CCameraPosition(164, 69, 54, 0));
    EXPECT_EQ(settings.m_upPresets[6], CCameraPosition(88, 74, 42, 0));

    // One direction: only its Front preset, from the "1m" row.
    CCameraSettings one;
    bar.LoadDefaultPresets(&one, 2, 3, FALSE);
    EXPECT_EQ(one.m_frontPresets[2], CCameraPosition(342, 64, 38, 90));
    EXPECT_EQ(one.m_upPresets[2], CCameraPosition());
    EXPECT_EQ(one.m_frontPresets[1], CCameraPosition());
}

TEST(DirectionSelectorTest, LoadDefaultPresetsRefusesWhatHasNoRow)
{
    CDiscDirectionSelector disc;
    const CCameraSettings fresh;
    CCameraSettings settings;
    for (int distance : {-1, 4, 1000})
        disc.LoadDefaultPresets(&settings, 255, distance, FALSE);
    disc.LoadDefaultPresets(&settings, 7, 0, FALSE);
    disc.LoadDefaultPresets(&settings, -3, 0, FALSE);
    disc.LoadDefaultPresets(nullptr, 255, 0, FALSE);
    EXPECT_EQ(settings, fresh);

    // The triangle has no directions 3..5: all seven get written, those three as zeros,
    // while a single one of them changes nothing.
    CTriangleDirectionSelector triangle;
    triangle.LoadDefaultPresets(&settings, 4, 1, FALSE);
    EXPECT_EQ(settings, fresh);
    triangle.LoadDefaultPresets(&settings, 255, 1, TRUE);
    EXPECT_EQ(settings.m_frontPresets[4], CCameraPosition(0, 0, 0, 0));
    EXPECT_EQ(settings.m_upPresets[3], CCameraPosition(0, 0, 0, 0));
    EXPECT_NE(settings.m_frontPresets[6], CCameraPosition(0, 0, 0, 0));
}
}
