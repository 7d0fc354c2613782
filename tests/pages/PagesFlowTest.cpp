// The teaching flow over real widgets: the controller dialog hosts the real pages, the pad
// and the direction radios post to the main window, the camera library is the double.
#include "ui/controller/ControllerDlg.h"

#include "controller/ControllerSession.h"
#include "platform/WinMessages.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Calls = std::vector<std::string>;

TEST(PagesFlowTest, SteeringIsKeptInTheDirectionChosenSoFar)
{
    CamDouble().Reset();
    CamDouble().open = 1;  // read-backs need an open camera
    const QString path = TestRootDir() + QStringLiteral("/pages-flow.ini");
    QFile profile(path);
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("[QVT-VZ1]\nDevice=3\n[General]\nMode=0\nTracking=0\n[Up]\nMode=1\nDirection=6\n");
    profile.close();

    ControllerSession session(path.toStdString());
    CControllerDlg dlg(session);
    dlg.Create();
    AfxSetMainWnd(&dlg);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    SendMessage(&dlg, WM_CAMERA_MODE, kCameraUpside, 0);

    std::vector<QRadioButton*> radios;
    for (QRadioButton* r : dlg.AutoPage().findChildren<QRadioButton*>())
        if (r->isVisible() && r->isEnabled())
            radios.push_back(r);
    ASSERT_GE(radios.size(), 2u);
    std::sort(radios.begin(), radios.end(), [](auto* a, auto* b) { return a->objectName() < b->objectName(); });
    const int& up = session.Settings().m_nUpDirection;

    QTest::mouseClick(radios[0], Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return up != 6; }));
    const int first = up;
    CamDouble().TakeCommands();

    auto* hold = dlg.AutoPage().findChild<QWidget*>(QStringLiteral("button1004"));  // up
    ASSERT_TRUE(hold && hold->isVisible() && hold->isEnabled());
    QTest::mousePress(hold, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return CamDouble().Commands() == Calls{"CamDrive(8)"}; }));
    CamDouble().pan = {1, 33};
    CamDouble().tilt = {1, 44};
    CamDouble().zoom = {1, 55};
    CamDouble().roll = {1, 66};
    QTest::mouseRelease(hold, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return CamDouble().Commands() == Calls{"CamDrive(8)", "CamDrive(0)"}; }));

    QTest::mouseClick(radios[1], Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return up != first; }));
    EXPECT_EQ(session.Settings().m_upPresets[static_cast<std::size_t>(first)], (CCameraPosition{33, 44, 55, 66}));
    EXPECT_EQ(session.Modified(), 1);
    AfxSetMainWnd(nullptr);
}

}  // namespace
