#include "settings/FirmwareUrl.h"
#include "ui/settings/SettingsChoice.h"
#include "ui/settings/SettingsDlg.h"
#include "res/CameraStrings.h"
#include "res/Strings.h"
#include "ui/settings/CameraConnectionGroup.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <optional>
#include <tuple>

namespace {

using Calls = std::vector<std::string>;
const QString kIntranet = QStringLiteral("http://intranet/fw.bin");
const QString kDefaultUrl = QString::fromUtf8(kDefaultFirmwareUrl);
const Calls kPalSent{"CamSetVideoFormat(1)", "CamCommitSettings()"};

template <class T = QRadioButton>
T* Control(QWidget& dlg, int id) { return dlg.findChild<T*>(QString::number(id)); }

class SettingsDialog : public ::testing::Test
{
protected:
    // A dialog filled from current and initialised, as the command shows it; the double reset.
    CSettingsDlg& Open(int cameraOpen)
    {
        CamDouble().Reset();
        CamDouble().open = cameraOpen;
        dlg.emplace();
        dlg->m_bAlwaysOnTop = current.bAlwaysOnTop;
        dlg->m_strFirmwareUrl = current.strFirmwareUrl;
        dlg->m_nVideoFormat = current.nVideoFormat;
        dlg->OnInitDialog();
        return *dlg;
    }
    // OK, then the choice applied; the commands it sends are left in the double.
    SettingsOutcome Accept()
    {
        dlg->accept();
        CamDouble().TakeCommands();
        return ApplySettingsChoice(current, dlg->Choice(), dlg->m_bCameraOpen);
    }
    AppSettings current{.bAlwaysOnTop = 1, .strFirmwareUrl = kIntranet, .nVideoFormat = 0};
    std::optional<CSettingsDlg> dlg;
};

} // namespace

TEST_F(SettingsDialog, OkWithNothingChangedTouchesNeitherCameraNorZOrder)
{
    CSettingsDlg& d = Open(1);
    EXPECT_TRUE(Control<QCheckBox>(d, IDC_ALWAYS_ON_TOP)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(d, IDC_FIRMWARE_URL)->text(), kIntranet);
    EXPECT_TRUE(Control(d, IDC_NTSC)->isChecked());
    const auto outcome = Accept();
    EXPECT_EQ(outcome.topMost, TopMostChange::None);
    EXPECT_FALSE(outcome.bVideoFormatSent);
    EXPECT_EQ(CamDouble().Commands(), Calls{});
    EXPECT_EQ(std::tuple(current.bAlwaysOnTop, current.strFirmwareUrl, current.nVideoFormat), std::tuple(1, kIntranet, 0));
}

TEST_F(SettingsDialog, NtscToPalWithTheCameraOpenSendsOneThenCommitsOnce)
{
    CSettingsDlg& d = Open(1);
    Control(d, IDC_PAL)->click();
    Control<QCheckBox>(d, IDC_ALWAYS_ON_TOP)->click();
    const auto outcome = Accept();
    EXPECT_EQ(CamDouble().Commands(), kPalSent);
    EXPECT_TRUE(outcome.bVideoFormatSent);
    EXPECT_EQ(current.nVideoFormat, 1);
    EXPECT_EQ(outcome.topMost, TopMostChange::MakeNotTopMost);
    EXPECT_EQ(current.bAlwaysOnTop, 0);
}

TEST_F(SettingsDialog, CameraClosedGreysTheRadiosAndSendsNothing)
{
    current.nVideoFormat = 1;
    CSettingsDlg& d = Open(0);
    EXPECT_FALSE(Control(d, IDC_NTSC)->isEnabled() || Control(d, IDC_PAL)->isEnabled());
    EXPECT_TRUE(Control(d, IDC_PAL)->isChecked());  // still the last known format
    d.m_nVideoFormat = 0;  // a differing format (a camera closed before could leave it) is not sent either
    EXPECT_FALSE(Accept().bVideoFormatSent);
    EXPECT_EQ(CamDouble().Commands(), Calls{});
    EXPECT_EQ(current.nVideoFormat, 1);
}

TEST_F(SettingsDialog, DefaultPutsTheBuiltInAddressBackOnlyOnOk)
{
    current.strFirmwareUrl = kIntranet + QString(200, u'x');
    EXPECT_EQ(Control<QLineEdit>(Open(0), IDC_FIRMWARE_URL)->cursorPosition(), 0) << "the address shows from its start";
    current.strFirmwareUrl = kIntranet;
    Control<QPushButton>(Open(0), IDC_URL_DEFAULT)->click();
    EXPECT_EQ(Control<QLineEdit>(*dlg, IDC_FIRMWARE_URL)->text(), kDefaultUrl);
    EXPECT_EQ(Control<QLineEdit>(*dlg, IDC_FIRMWARE_URL)->cursorPosition(), 0);
    dlg->reject();  // Cancel: nothing is applied
    EXPECT_EQ(current.strFirmwareUrl, kIntranet);
    Control<QLineEdit>(Open(0), IDC_FIRMWARE_URL)->clear();
    Accept();
    EXPECT_TRUE(current.strFirmwareUrl.isEmpty()) << "an emptied address is taken as it stands";
}

TEST_F(SettingsDialog, WholeCommandRunsModallyAndCancelChangesNothing)
{
    for (bool ok : {false, true}) {
        Open(1).reject();
        QTimer::singleShot(0, [ok] {
            auto* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            Control(*box, IDC_PAL)->click();
            Control<QPushButton>(*box, IDC_URL_DEFAULT)->click();
            Control<QPushButton>(*box, ok ? IDOK : IDCANCEL)->click();
        });
        CamDouble().TakeCommands();
        EXPECT_EQ(RunSettingsDialog(nullptr, current).topMost, TopMostChange::None);
        EXPECT_EQ(CamDouble().Commands(), ok ? kPalSent : Calls{});
        EXPECT_EQ(current.nVideoFormat, ok ? 1 : 0);
        EXPECT_EQ(current.strFirmwareUrl, ok ? kDefaultUrl : kIntranet);
    }
}

TEST_F(SettingsDialog, OnAShortScreenTheGroupsScrollAndOkStaysInReach)
{
    CSettingsDlg& d = Open(1);
    d.FitToHeight(QWIDGETSIZE_MAX);  // the test screen may already be too short for all of it
    const int whole = d.height();
    d.FitToHeight(whole / 2);
    EXPECT_LE(d.height(), whole / 2);
    d.FitToHeight(whole * 2);  // a tall screen: everything at once again
    EXPECT_EQ(d.height(), whole);
}

TEST_F(SettingsDialog, CameraGroupChoosesANetworkCameraTestsItAndRefusesAnEmptyHost)
{
    CSettingsDlg& d = Open(1);
    CCameraConnectionGroup* group = d.m_cameraGroup;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Value(), CameraConnection{});  // a profile without the section: the QVT-VZ1
    CameraConnection chosen;
    chosen.kind = CameraConnection::Kind::Network;
    chosen.net = CameraConnection::Net::Udp;
    chosen.port = 1259;
    chosen.framing = CameraConnection::kOneParticipant;
    group->SetValue(chosen);

    ScriptedPrompter prompter;
    d.accept();  // no host: the dialog stays and says what is missing
    EXPECT_EQ(prompter.texts, QStringList{LoadStringRes(kStrEnterHost)});
    EXPECT_FALSE(d.result() == QDialog::Accepted);

    d.findChild<QLineEdit*>(QStringLiteral("Host"))->setText(QStringLiteral(" 127.0.0.1 "));
    auto* stream = d.findChild<QLineEdit*>(QStringLiteral("VideoStream"));
    stream->setText(QStringLiteral("cam.local/live"));  // no scheme: refused with its own text
    d.accept();
    EXPECT_EQ(prompter.texts.last(), LoadStringRes(kStrEnterVideoStream));
    EXPECT_FALSE(d.result() == QDialog::Accepted);
    stream->setText(QStringLiteral(" rtsp://127.0.0.1/live "));
    EXPECT_EQ(group->Value().videoStream, "rtsp://127.0.0.1/live");
    // Not the open camera: asked on a thread of its own while the dialog goes on.
    const auto test = [&](bool answers, CameraProbe probe) {
        CamDouble().probe = probe;
        CamDouble().ownLinkAnswers = answers;
        CamDouble().HoldOwnLinkProbes(true);
        group->OnTest();
        EXPECT_TRUE(group->Testing());
        EXPECT_EQ(group->TestResult(), QStringLiteral("..."));
        CamDouble().HoldOwnLinkProbes(false);
        for (int i = 0; i < 500 && group->Testing(); ++i)
            QTest::qWait(10);
        return group->TestResult();
    };
    EXPECT_EQ(test(true, {true, "0020", "0511", "0203", ""}), LoadStringRes(kStrTestAnswered).arg("0020", "0511", "0203"));
    EXPECT_EQ(test(false, {false, "", "", "", "refused"}), LoadStringRes(kStrTestNoAnswer).arg("refused"));

    const auto outcome = Accept();
    chosen.host = "127.0.0.1";
    EXPECT_TRUE(outcome.bCameraChanged);
    EXPECT_EQ(current.camera.Describe(), chosen.Describe());
    EXPECT_EQ(current.camera.framing, CameraConnection::kOneParticipant);
}

TEST_F(SettingsDialog, CameraGroupTakesAUsbCameraByItsNodeAndSaysWhichAnswered)
{
    CSettingsDlg& d = Open(1);
    CCameraConnectionGroup* group = d.m_cameraGroup;
    CameraConnection chosen;
    chosen.kind = CameraConnection::Kind::Uvc;
    group->SetValue(chosen);
    ScriptedPrompter prompter;
    d.accept();  // no node
    EXPECT_EQ(prompter.texts, QStringList{LoadStringRes(kStrEnterDevice)});

    auto* node = d.findChild<QComboBox*>(QStringLiteral("UvcDevice"));
    ASSERT_TRUE(node && node->isEnabled());
    node->setEditText(QStringLiteral(" /tmp/cam/video0 "));  // any path, typed
    EXPECT_EQ(group->Value().uvcDevice, "/tmp/cam/video0");
    CamDouble().probe = {true, "uvcvideo", "PTZ Cam", "", ""};
    CamDouble().ownLinkAnswers = true;
    group->OnTest();
    for (int i = 0; i < 500 && group->Testing(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(group->TestResult(), LoadStringRes(kStrTestAnsweredUvc).arg("PTZ Cam", "uvcvideo"));
    EXPECT_EQ(Accept().bCameraChanged, true);
    EXPECT_EQ(current.camera.uvcDevice, "/tmp/cam/video0");
}

TEST_F(SettingsDialog, ACameraWithoutFormatsGreysTheRadiosAndSaysWhy)
{
    for (bool hasFormat : {true, false}) {
        CSettingsDlg& d = Open(1);
        CamDouble().capabilities.videoFormat = hasFormat;
        CamDouble().connection.kind = CameraConnection::Kind::Network;
        CamDouble().connection.host = "cam.local";
        d.OnInitDialog();
        EXPECT_EQ(Control(d, IDC_PAL)->isEnabled(), hasFormat);
        EXPECT_EQ(Control(d, IDC_PAL)->toolTip(),
                  hasFormat ? QString() : QStringLiteral("Camera visca-ip cam.local:52381 has no video output format setting."));
    }
}

TEST(TopMost, ChangesOnlyWhenTheWantedStateDiffersUnlessForced)
{
    using enum TopMostChange;
    const struct { int now, wanted; BOOL force; TopMostChange change; } rows[] = {{0, 0, 0, None},
        {1, 1, 0, None}, {0, 1, 0, MakeTopMost}, {1, 0, 0, MakeNotTopMost}, {1, 1, 1, MakeTopMost}, {0, 0, 1, MakeNotTopMost}};
    for (const auto& r : rows)
        EXPECT_EQ(DecideTopMost(r.now, r.wanted, r.force), r.change) << r.now << r.wanted << r.force;
}
