// The window over the system's own capture services, pointed at a sysfs tree of the test's:
// a camera listed there whose node is no real device opens the window with NO VIDEO and no
// quality, as a camera that cannot stream would.
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/video/FakeSysfs.h"
#include "video/SystemVideoCapture.h"
#include "video/VideoDlg.h"
#include "video/VideoPicture.h"

#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

TEST(SystemVideoCapture, CameraWithoutAWorkingNodeOpensQuietlyWithNoVideo)
{
    CamDouble().Reset();
    ScriptedPrompter prompter;
    FakeSysfs sys;
    const auto camera = sys.UsbDevice("1-2", "f1a9", "c20e", "QV1");
    sys.UsbNode(camera, "0", "video0", "NORVEL QVT-VZ1");
    FakeSysfs::Write(fs::path(sys.Dev()) / "video0", "not a device");
    SystemVideoCapture capture(sys.Sys(), sys.Dev());
    const auto devices = capture.Devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(capture.OpenQualityControl(devices[0]), nullptr);

    {
        CVideoDlg dlg(nullptr, std::make_unique<SystemVideoCapture>(sys.Sys(), sys.Dev()));
        ASSERT_TRUE(dlg.Create());
        EXPECT_FALSE(dlg.findChild<QSlider*>()->isEnabled());
        EXPECT_EQ(dlg.findChild<QLineEdit*>()->text(), QStringLiteral("--"));
        EXPECT_TRUE(dlg.findChild<VideoPicture*>()->findChildren<QWidget*>().isEmpty());
        dlg.DestroyWindow();
    }
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_TRUE(CamDouble().Commands().empty());
}

} // namespace
