#include "firmware/FirmwareUpdateDlg.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace {

class FakeHost final : public FirmwareUpdateHost
{
public:
    QWidget* DialogParent() override { return nullptr; }
    QString CameraPort() const override { return QStringLiteral("/dev/pts/3"); }
    QString FirmwareUrl() const override { return QStringLiteral("http://example.invalid/QVTVZ1.BIN"); }
    void BorrowCamera() override { calls << "BorrowCamera"; }
    void ReturnCamera() override { calls << "ReturnCamera"; }
    QStringList calls;
};

TEST(FirmwareUpdateProcedure, StopsEverythingAroundTheDialogAndBringsItBack)
{
    CamDouble().Reset();
    CamDouble().firmwareVersion = std::string(31, '7');  // the longest text the library gives
    FakeHost host;
    ScriptedPrompter prompter;
    QStringList seen;
    ASSERT_TRUE(RunFirmwareUpdate(host, [&](CFirmwareUpdateDlg& dlg) {
        host.calls << "ShowDialog";
        seen << dlg.m_strCurrentVersion << dlg.m_strPortName << dlg.m_strDownloadUrl;
    }));
    EXPECT_EQ(host.calls, (QStringList{"BorrowCamera", "ShowDialog", "ReturnCamera"}));
    EXPECT_EQ(seen, (QStringList{QString(31, u'7'), "/dev/pts/3", "http://example.invalid/QVTVZ1.BIN"}));
    EXPECT_TRUE(prompter.texts.isEmpty());

    // No camera, or no version from it: a message, and nothing stopped.
    host.calls.clear();
    CamDouble().present = 0;
    const auto show = [&](CFirmwareUpdateDlg&) { host.calls << "ShowDialog"; };
    EXPECT_FALSE(RunFirmwareUpdate(host, show));
    CamDouble().present = 1;
    CamDouble().firmwareVersionResult = 0;
    EXPECT_FALSE(RunFirmwareUpdate(host, show));
    EXPECT_EQ(prompter.texts,
              (QStringList{"QVT-VZ1 is not connected to this PC.", "Cannot obtain firmware version information."}));
    EXPECT_EQ(prompter.types, (std::vector<UINT>{MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP}));
    EXPECT_TRUE(host.calls.isEmpty());
}

} // namespace
