#include "firmware/FirmwareUpdateDlg.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeHost final : public FirmwareUpdateHost
{
public:
    QWidget* DialogParent() override { return nullptr; }
    QString CameraPort() const override { return QStringLiteral("/dev/pts/3"); }
    QString FirmwareUrl() const override { return QStringLiteral("http://example.invalid/QVTVZ1.BIN"); }
    void DeleteTrayIcon() override { calls.push_back("DeleteTrayIcon"); }
    void CheckCameraPresence() override { calls.push_back("CheckCameraPresence"); }
    void CloseVideoWindow() override { calls.push_back("CloseVideoWindow"); }
    void StopTracking() override { calls.push_back("StopTracking"); }
    void CloseCamera() override { calls.push_back("CloseCamera"); }
    int OpenCamera() override
    {
        calls.push_back("OpenCamera");
        return 1;
    }
    int StartTracking() override
    {
        calls.push_back("StartTracking");
        return 1;
    }
    std::vector<std::string> calls;
};

class FirmwareUpdateProcedure : public ::testing::Test
{
protected:
    void SetUp() override { CamDouble().Reset(); }

    bool Run()
    {
        return OnFirmwareUpdate(host, [this](CFirmwareUpdateDlg& dlg) {
            host.calls.push_back("ShowDialog");
            version = dlg.m_strCurrentVersion;
            port = dlg.m_strPortName;
            url = dlg.m_strDownloadUrl;
        });
    }

    FakeHost host;
    ScriptedPrompter prompter;
    QString version, port, url;
};

TEST_F(FirmwareUpdateProcedure, StopsEverythingAroundTheDialogAndBringsItBack)
{
    CamDouble().firmwareVersion = "Ver2.03";
    ASSERT_TRUE(Run());
    const std::vector<std::string> expected{"DeleteTrayIcon", "CloseVideoWindow", "StopTracking", "CloseCamera",
                                            "ShowDialog", "CheckCameraPresence", "OpenCamera", "StartTracking"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(version, "Ver2.03");
    EXPECT_EQ(port, "/dev/pts/3");
    EXPECT_EQ(url, "http://example.invalid/QVTVZ1.BIN");
    EXPECT_TRUE(prompter.texts.isEmpty());
}

TEST_F(FirmwareUpdateProcedure, NoCameraOrNoVersionStopsNothing)
{
    CamDouble().present = 0;
    EXPECT_FALSE(Run());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], "QVT-VZ1 is not connected to this PC.");
    EXPECT_EQ(prompter.captions[0], "QVT-VZ1");
    EXPECT_EQ(prompter.types[0], MB_OK | MB_ICONSTOP);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(CamDouble().Commands().empty()) << "the version is not even asked for";

    CamDouble().present = 1;
    CamDouble().firmwareVersionResult = 0;
    EXPECT_FALSE(Run());
    ASSERT_EQ(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[1], "Cannot obtain firmware version information.");
    EXPECT_EQ(prompter.types[1], MB_OK | MB_ICONSTOP);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(FirmwareUpdateProcedure, LongestVersionTextIsKeptWhole)
{
    CamDouble().firmwareVersion = std::string(31, '7');
    ASSERT_TRUE(Run());
    EXPECT_EQ(version, QString(31, u'7'));
}

} // namespace
