// Press-and-hold and bitmap buttons over real widgets: what a simulated mouse makes them
// post, and which face they draw.
#include "platform/WinMessages.h"
#include "tests/support/RecordingWindow.h"
#include "ui/controls/HoldButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {
constexpr int kId = 1004;
const QPoint kIn(16, 16);
using Messages = std::vector<RecordedMessage>;
RecordedMessage Pad(LPARAM pressed) { return {WM_PAD_BUTTON, kId, pressed}; }

class HoldButtonTest : public ::testing::Test
{
protected:
    HoldButtonTest() : button(kId)
    {
        button.LoadBitmaps(145, 189, 0, 158);
        button.resize(32, 32);
        button.SetMessageTarget(&window);
        button.show();
    }
    Messages Delivered()  // the messages delivered so far, then forgotten
    {
        QCoreApplication::sendPostedEvents();
        Messages m = window.Messages();
        window.Clear();
        return m;
    }
    RecordingWindow window;
    CHoldButton button;
};

TEST_F(HoldButtonTest, PressAndReleasePostSeparatelyAndReleaseOffTheButtonStillStops)
{
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(Delivered(), Messages{Pad(1)});
    EXPECT_EQ(button.GetDrawnBitmap(), 189u);  // held: the red face
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, -50));  // dragged off first
    EXPECT_EQ(Delivered(), Messages{Pad(0)});
    EXPECT_EQ(button.GetDrawnBitmap(), 145u);
}

TEST_F(HoldButtonTest, OtherMouseButtonsReportNothingAndSpaceHoldsLikeTheLeftButton)
{
    QTest::mousePress(&button, Qt::RightButton, {}, kIn);
    QTest::mouseRelease(&button, Qt::RightButton, {}, kIn);
    QTest::mouseClick(&button, Qt::MiddleButton, {}, kIn);
    EXPECT_TRUE(Delivered().empty());
    // Held Space: the key's auto-repeat is no new press; the release stops.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    for (QKeyEvent* e : {&press, &repeat, &repeat})
        QApplication::sendEvent(&button, e);
    EXPECT_EQ(Delivered(), Messages{Pad(1)});
    EXPECT_EQ(button.GetDrawnBitmap(), 189u);
    QApplication::sendEvent(&button, &release);
    EXPECT_EQ(Delivered(), Messages{Pad(0)});
    // Tab away while Space is held: the release would go to another control.
    QApplication::sendEvent(&button, &press);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&button, &out);
    QApplication::sendEvent(&button, &release);
    EXPECT_EQ(Delivered(), (Messages{Pad(1), Pad(0)}));
    EXPECT_EQ(button.GetDrawnBitmap(), 145u);
}

TEST_F(HoldButtonTest, ADoubleClickIsTwoHoldsAndItsDoubleClickEventPostsNothing)
{
    // As Qt delivers a double click: press, release, press, double click, release.
    QTest::mouseClick(&button, Qt::LeftButton, {}, kIn);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(kIn), button.mapToGlobal(QPointF(kIn)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(kIn), button.mapToGlobal(QPointF(kIn)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
    QApplication::sendEvent(&button, &dbl);
    EXPECT_EQ(button.GetDrawnBitmap(), 189u);  // still drawn pressed
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(Delivered(), (Messages{Pad(1), Pad(0), Pad(1), Pad(0)}));
}

TEST_F(HoldButtonTest, TheFocusIsShown)
{
    button.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&button));
    button.clearFocus();
    const QImage plain = button.grab().toImage();
    button.setAttribute(Qt::WA_KeyboardFocusChange);  // what Tab navigation marks the window with
    button.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button.hasFocus());
    EXPECT_NE(button.grab().toImage(), plain);
}

TEST_F(HoldButtonTest, DisabledPostsNothingAndDrawsGreyButDisabledOrHiddenWhileHeldReportsTheRelease)
{
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, kIn);
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(button.GetDrawnBitmap(), 158u);
    button.setEnabled(true);

    // The page greys the pad when the camera is turned on its stand; the release never
    // reaches a disabled button, so the motion is stopped right away.
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    button.setEnabled(false);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kIn);
    EXPECT_EQ(Delivered(), (Messages{Pad(1), Pad(0)}));
    button.setEnabled(true);
    QTest::mousePress(&button, Qt::LeftButton, {}, kIn);
    button.hide();
    EXPECT_EQ(Delivered(), (Messages{Pad(1), Pad(0)}));
    button.show();  // hiding or disabling an idle button reports nothing
    button.setEnabled(false);
    button.hide();
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(HoldButtonTest, WithoutATargetPostsToTheMainWindow)
{
    RecordingWindow frame;
    AfxSetMainWnd(&frame);
    button.SetMessageTarget(nullptr);
    QTest::mouseClick(&button, Qt::LeftButton, {}, kIn);
    QCoreApplication::sendPostedEvents();
    AfxSetMainWnd(nullptr);
    EXPECT_EQ(frame.Messages(), (Messages{Pad(1), Pad(0)}));
    EXPECT_TRUE(window.Messages().empty());
}

TEST(BitmapButtonTest, MissingFacesFallBackToTheNormalFace)
{
    CBitmapButton option(1014);
    EXPECT_TRUE(option.LoadBitmaps(152, 178));
    option.setEnabled(false);
    EXPECT_EQ(option.GetDrawnBitmap(), 152u);  // no grey face loaded
    option.setEnabled(true);
    option.setDown(true);
    EXPECT_EQ(option.GetDrawnBitmap(), 178u);
    EXPECT_FALSE(option.LoadBitmaps(9999));  // no artwork: says so, still draws safely
    EXPECT_EQ(option.GetDrawnBitmap(), 0u);
    option.resize(72, 32);
    EXPECT_FALSE(option.grab().isNull());
}

TEST(BitmapButtonTest, EveryFaceIdHasArtworkAtItsSize)
{
    const std::pair<std::vector<UINT>, QSize> groups[] = {
        {{144, 145, 146, 147, 148, 149, 150, 151, 158, 160, 164, 166, 168, 169, 170, 171, 179, 181,
          183, 186, 187, 189, 190, 191}, QSize(32, 32)},
        {{142, 143, 152, 153, 154, 155, 156, 157, 172, 173, 174, 175, 176, 177, 178, 182, 185, 192,
          199, 201, 202, 203, 204, 208, 209}, QSize(72, 32)},
        {{132, 133, 134, 135}, QSize(72, 72)},
        {{198, 211, 213}, QSize(136, 136)},
    };
    for (const auto& [ids, size] : groups)
        for (UINT id : ids)
            EXPECT_EQ(ArtImage(id).NativeSize(), size) << "bitmap " << id;
}
}
