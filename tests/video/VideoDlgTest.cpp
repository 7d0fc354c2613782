// The video window with fake capture services: what it shows, what it sends to the camera,
// and how its owner opens and closes it.
#include "camera/QvtVz1Api.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/video/FakeVideoCapture.h"
#include "video/VideoDlg.h"
#include "video/VideoPicture.h"
#include "video/VideoWindowToggle.h"

#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stands in for the controller dialog: keeps m_pVideoWnd and handles command 32781.
class OwnerDialog final : public QWidget, public CMessageTarget
{
public:
    ~OwnerDialog() override { CloseVideoWindow(m_pVideoWnd); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_COMMAND && wParam == ID_VIDEO_WINDOW)
            ToggleVideoWindow(m_pVideoWnd, this, makeCapture());
        return 0;
    }
    bool event(QEvent* e) override { return DispatchWinMessage(e, this) || QWidget::event(e); }
    // The menu item's check mark, as the controller's update handler sets it.
    bool VideoItemChecked() const { return m_pVideoWnd != nullptr; }

    CVideoDlg* m_pVideoWnd = nullptr;
    std::function<std::unique_ptr<VideoCapture>()> makeCapture;
};

class VideoDlgTest : public ::testing::Test
{
protected:
    void SetUp() override { CamDouble().Reset(); }
    // Opens the window as the menu command does, over devices.
    CVideoDlg* Open(std::vector<VideoDeviceInfo> devices, std::optional<double> quality = 0.5,
                    bool hasQualityControl = true)
    {
        owner.makeCapture = [this, devices, quality, hasQualityControl] {
            auto capture = std::make_unique<FakeVideoCapture>(devices, log);
            capture->quality = quality;
            capture->hasQualityControl = hasQualityControl;
            return capture;
        };
        SendMessage(&owner, WM_COMMAND, ID_VIDEO_WINDOW, 0);
        return owner.m_pVideoWnd;
    }

    QSlider* Slider() const { return owner.m_pVideoWnd->findChild<QSlider*>(QStringLiteral("qualitySlider")); }
    QString BoxText() const { return owner.m_pVideoWnd->findChild<QLineEdit*>(QStringLiteral("qualityBox"))->text(); }
    int Commits() const
    {
        const auto commands = CamDouble().Commands();
        return static_cast<int>(std::count(commands.begin(), commands.end(), "CamCommitSettings()"));
    }

    std::shared_ptr<FakeCaptureLog> log = std::make_shared<FakeCaptureLog>();
    OwnerDialog owner;
};

TEST_F(VideoDlgTest, ShowsTheCamerasQualityTruncatedToAPercent)
{
    CVideoDlg* dlg = Open({OtherWebcam(), CameraByName("/dev/video2"), CameraByPath("/dev/video6")}, 0.755);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(Slider()->value(), 75);
    EXPECT_TRUE(Slider()->isEnabled());
    EXPECT_EQ(BoxText(), QStringLiteral("75%"));
    EXPECT_EQ(dlg->GetInitialQuality(), 75);
    // The path match's preview runs over the picture control; only that camera was touched,
    // and showing the quality did not write it back.
    EXPECT_EQ(log->previewStarted, std::vector<std::string>{"/dev/video6"});
    EXPECT_EQ(log->previewPicture, dlg->findChild<VideoPicture*>());
    EXPECT_EQ(log->qualityOpened, std::vector<std::string>{"/dev/video6"});
    EXPECT_TRUE(log->qualityPut.empty());

    CloseVideoWindow(owner.m_pVideoWnd);
    Open({OtherWebcam(), CameraByName("/dev/video2")});
    EXPECT_EQ(log->previewStarted.back(), "/dev/video2") << "without a path match, the name match";
}

TEST_F(VideoDlgTest, CommitsOnceWhenClosedAtAnotherValue)
{
    // Values moved through, then closed (or deleted without closing); the commits expected.
    const struct { std::vector<int> values; bool deleteIt; int commits; } cases[] = {
        {{40, 75}, false, 0}, {{40}, false, 1}, {{90}, true, 1}};
    for (const auto& c : cases) {
        CamDouble().Reset();
        log->qualityPut.clear();
        Open({CameraByPath()}, 0.75);
        std::vector<double> put;
        for (int v : c.values) {
            Slider()->setValue(v);
            EXPECT_EQ(BoxText(), QString::number(v) + "%");
            put.push_back(v / 100.0);
        }
        EXPECT_EQ(log->qualityPut, put) << "every move reaches the camera at once";
        if (c.deleteIt)
            delete std::exchange(owner.m_pVideoWnd, nullptr);
        else
            CloseVideoWindow(owner.m_pVideoWnd);
        EXPECT_EQ(Commits(), c.commits) << c.values.back();
        EXPECT_EQ(owner.m_pVideoWnd, nullptr);
        EXPECT_EQ(log->previewsRunning, 0);
        EXPECT_EQ(log->qualityControlsAlive, 0);
    }
}

TEST_F(VideoDlgTest, CameraWithoutUsableQualityShowsDashesAndNeverCommits)
{
    for (const bool hasControl : {false, true}) {
        // hasControl with an unreadable quality: the control is given up again.
        CVideoDlg* dlg = Open({CameraByPath()}, std::nullopt, hasControl);
        EXPECT_FALSE(Slider()->isEnabled());
        EXPECT_EQ(BoxText(), QStringLiteral("--"));
        EXPECT_EQ(dlg->GetInitialQuality(), -1);
        EXPECT_EQ(log->qualityControlsAlive, 0);
        EXPECT_EQ(log->previewsRunning, 1) << "the picture is shown all the same";
        Slider()->setValue(30);
        CloseVideoWindow(owner.m_pVideoWnd);
    }
    EXPECT_TRUE(log->qualityPut.empty());
    EXPECT_EQ(Commits(), 0);
}

TEST_F(VideoDlgTest, NoCameraShowsNoVideoWithoutAMessage)
{
    ScriptedPrompter prompter;
    CVideoDlg* dlg = Open({OtherWebcam()});
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(log->previewStarted.empty());
    EXPECT_TRUE(log->qualityOpened.empty());
    EXPECT_FALSE(Slider()->isEnabled());
    EXPECT_EQ(BoxText(), QStringLiteral("--"));
    EXPECT_TRUE(prompter.texts.isEmpty());
    // Nothing is laid over the NO VIDEO picture.
    auto* picture = dlg->findChild<VideoPicture*>();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->findChildren<QWidget*>().isEmpty());
    EXPECT_EQ(picture->size(), QSize(320, 240));

    CloseVideoWindow(owner.m_pVideoWnd);
    EXPECT_EQ(Commits(), 0);
}

TEST_F(VideoDlgTest, CloseBoxAndEscapeLeaveTheOwnersPointerNull)
{
    EXPECT_FALSE(owner.VideoItemChecked());
    Open({CameraByPath()});
    EXPECT_TRUE(owner.VideoItemChecked());
    EXPECT_EQ(log->previewsRunning, 1);
    SendMessage(&owner, WM_COMMAND, ID_VIDEO_WINDOW, 0);  // the command again closes it
    EXPECT_FALSE(owner.VideoItemChecked());
    EXPECT_EQ(log->previewsRunning, 0);

    for (const bool escape : {false, true}) {
        CVideoDlg* dlg = Open({CameraByPath()}, 0.75);
        QPointer<CVideoDlg> watch(dlg);
        Slider()->setValue(60);
        if (escape)
            QTest::keyClick(dlg, Qt::Key_Escape);
        else
            dlg->close();
        // The window waits for its owner rather than closing itself.
        EXPECT_NE(owner.m_pVideoWnd, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return owner.m_pVideoWnd == nullptr; }, 5000));
        EXPECT_FALSE(owner.VideoItemChecked());
        EXPECT_TRUE(watch.isNull()) << "the owner deleted the window";
    }
    EXPECT_EQ(Commits(), 2);
    EXPECT_EQ(log->previewsRunning, 0);
}

TEST_F(VideoDlgTest, WithoutAnOwnerThatTakesCommandsTheCloseBoxClosesTheWindowItself)
{
    QWidget plainParent;
    for (QWidget* parent : {static_cast<QWidget*>(nullptr), &plainParent}) {
        auto capture = std::make_unique<FakeVideoCapture>(std::vector<VideoDeviceInfo>{CameraByPath()}, log);
        capture->quality = 0.2;
        CVideoDlg dlg(parent, std::move(capture));
        dlg.Create();
        dlg.findChild<QSlider*>()->setValue(21);
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(log->previewsRunning, 0);
    }
    EXPECT_EQ(Commits(), 2);
}

TEST_F(VideoDlgTest, KeysMoveByOneAndToTheEnds)
{
    Open({CameraByPath()}, 0.5);
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 51}, {Qt::Key_Left, 50}, {Qt::Key_Left, 49},
                                             {Qt::Key_Up, 50},    {Qt::Key_Down, 49}, {Qt::Key_End, 100},
                                             {Qt::Key_Right, 100}, {Qt::Key_Home, 0},  {Qt::Key_Left, 0}};
    for (auto [key, value] : steps) {
        QTest::keyClick(Slider(), key);
        EXPECT_EQ(Slider()->value(), value) << key;
        EXPECT_EQ(BoxText(), QString::number(value) + "%");
    }
    EXPECT_EQ(log->qualityPut, (std::vector<double>{0.51, 0.50, 0.49, 0.50, 0.49, 1.0, 0.0}));
}

} // namespace
