#include "settings/FirmwareUrl.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsDlg.h"
#include "tests/support/CameraApiDouble.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using Calls = std::vector<std::string>;

class SettingsDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        current.bAlwaysOnTop = 1;
        current.strFirmwareUrl = QStringLiteral("http://intranet/fw.bin");
        current.nVideoFormat = 0;
    }

    // A dialog filled from current and initialised, as the command shows it.
    void Open(CSettingsDlg& dlg)
    {
        dlg.m_bAlwaysOnTop = current.bAlwaysOnTop;
        dlg.m_strFirmwareUrl = current.strFirmwareUrl;
        dlg.m_nVideoFormat = current.nVideoFormat;
        dlg.OnInitDialog();
    }

    template <class T>
    static T* Control(CSettingsDlg& dlg, int id)
    {
        return dlg.findChild<T*>(QString::number(id));
    }

    AppSettings current;
};

} // namespace

TEST_F(SettingsDialog, OkWithNothingChangedTouchesNeitherCameraNorZOrder)
{
    CamDouble().open = 1;
    CSettingsDlg dlg;
    Open(dlg);
    EXPECT_EQ(dlg.m_bCameraOpen, 1);
    EXPECT_TRUE(Control<QCheckBox>(dlg, IDC_ALWAYS_ON_TOP)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dlg, IDC_FIRMWARE_URL)->text(), current.strFirmwareUrl);
    EXPECT_TRUE(Control<QRadioButton>(dlg, IDC_NTSC)->isChecked());
    CamDouble().TakeCommands();
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    const AppSettings before = current;
    const auto outcome = ApplySettingsChoice(current, dlg.Choice(), dlg.m_bCameraOpen);
    EXPECT_EQ(outcome.topMost, TopMostChange::None);
    EXPECT_FALSE(outcome.bVideoFormatSent);
    EXPECT_EQ(CamDouble().Commands(), Calls{});
    EXPECT_EQ(current.bAlwaysOnTop, before.bAlwaysOnTop);
    EXPECT_EQ(current.strFirmwareUrl, before.strFirmwareUrl);
}

TEST_F(SettingsDialog, NtscToPalWithTheCameraOpenSendsOneThenCommitsOnce)
{
    CamDouble().open = 1;
    CSettingsDlg dlg;
    Open(dlg);
    Control<QRadioButton>(dlg, IDC_PAL)->click();
    Control<QCheckBox>(dlg, IDC_ALWAYS_ON_TOP)->click();
    dlg.accept();
    EXPECT_EQ(dlg.m_nVideoFormat, 1);
    EXPECT_EQ(dlg.m_bAlwaysOnTop, 0);

    CamDouble().TakeCommands();
    const auto outcome = ApplySettingsChoice(current, dlg.Choice(), dlg.m_bCameraOpen);
    EXPECT_EQ(CamDouble().Commands(), (Calls{"CamSetVideoFormat(1)", "CamCommitSettings()"}));
    EXPECT_TRUE(outcome.bVideoFormatSent);
    EXPECT_EQ(current.nVideoFormat, 1);
    EXPECT_EQ(outcome.topMost, TopMostChange::MakeNotTopMost);
    EXPECT_EQ(current.bAlwaysOnTop, 0);
}

TEST_F(SettingsDialog, CameraClosedGreysTheRadiosAndSendsNothing)
{
    CamDouble().open = 0;
    current.nVideoFormat = 1;
    CSettingsDlg dlg;
    Open(dlg);
    EXPECT_EQ(dlg.m_bCameraOpen, 0);
    EXPECT_FALSE(Control<QRadioButton>(dlg, IDC_NTSC)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dlg, IDC_PAL)->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>(dlg, IDC_PAL)->isChecked());  // still the last known format
    dlg.accept();

    // Even a format that differs (as a camera closed before could leave it) is not sent.
    AppSettings chosen = dlg.Choice();
    chosen.nVideoFormat = 0;
    CamDouble().TakeCommands();
    const auto outcome = ApplySettingsChoice(current, chosen, dlg.m_bCameraOpen);
    EXPECT_EQ(CamDouble().Commands(), Calls{});
    EXPECT_FALSE(outcome.bVideoFormatSent);
    EXPECT_EQ(current.nVideoFormat, 1);
}

TEST_F(SettingsDialog, DefaultPutsTheBuiltInAddressBackOnlyOnOk)
{
    EXPECT_TRUE(QString::fromUtf8(kDefaultFirmwareUrl).endsWith(QStringLiteral("/sonvara/download/firm/qvtvz1/QVTVZ1-2.BIN")));
    {
        CSettingsDlg dlg;
        Open(dlg);
        Control<QPushButton>(dlg, IDC_URL_DEFAULT)->click();
        EXPECT_EQ(Control<QLineEdit>(dlg, IDC_FIRMWARE_URL)->text(), QString::fromUtf8(kDefaultFirmwareUrl));
        dlg.reject();  // Cancel: nothing is applied
        EXPECT_EQ(current.strFirmwareUrl, QStringLiteral("http://intranet/fw.bin"));
    }
    CSettingsDlg dlg;
    Open(dlg);
    Control<QPushButton>(dlg, IDC_URL_DEFAULT)->click();
    dlg.accept();
    ApplySettingsChoice(current, dlg.Choice(), dlg.m_bCameraOpen);
    EXPECT_EQ(current.strFirmwareUrl, QString::fromUtf8(kDefaultFirmwareUrl));

    // An emptied address is taken as it stands.
    CSettingsDlg again;
    Open(again);
    Control<QLineEdit>(again, IDC_FIRMWARE_URL)->clear();
    again.accept();
    ApplySettingsChoice(current, again.Choice(), again.m_bCameraOpen);
    EXPECT_TRUE(current.strFirmwareUrl.isEmpty());
}

TEST_F(SettingsDialog, WholeCommandRunsModallyAndCancelChangesNothing)
{
    CamDouble().open = 1;
    const auto answer = [](bool ok) {
        QTimer::singleShot(0, [ok] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            dlg->findChild<QRadioButton*>(QString::number(IDC_PAL))->click();
            dlg->findChild<QPushButton*>(QString::number(IDC_URL_DEFAULT))->click();
            dlg->findChild<QPushButton*>(QString::number(ok ? IDOK : IDCANCEL))->click();
        });
    };
    answer(false);
    CamDouble().TakeCommands();
    auto outcome = RunSettingsDialog(nullptr, current);
    EXPECT_EQ(CamDouble().Commands(), Calls{});
    EXPECT_EQ(current.nVideoFormat, 0);
    EXPECT_EQ(current.strFirmwareUrl, QStringLiteral("http://intranet/fw.bin"));
    EXPECT_EQ(outcome.topMost, TopMostChange::None);

    answer(true);
    outcome = RunSettingsDialog(nullptr, current);
    EXPECT_EQ(CamDouble().Commands(), (Calls{"CamSetVideoFormat(1)", "CamCommitSettings()"}));
    EXPECT_EQ(current.strFirmwareUrl, QString::fromUtf8(kDefaultFirmwareUrl));
    EXPECT_EQ(outcome.topMost, TopMostChange::None);
}

TEST(TopMost, ChangesOnlyWhenTheWantedStateDiffersUnlessForced)
{
    EXPECT_EQ(DecideTopMost(0, 0, FALSE), TopMostChange::None);
    EXPECT_EQ(DecideTopMost(1, 1, FALSE), TopMostChange::None);
    EXPECT_EQ(DecideTopMost(0, 1, FALSE), TopMostChange::MakeTopMost);
    EXPECT_EQ(DecideTopMost(1, 0, FALSE), TopMostChange::MakeNotTopMost);
    EXPECT_EQ(DecideTopMost(1, 1, TRUE), TopMostChange::MakeTopMost);
    EXPECT_EQ(DecideTopMost(0, 0, TRUE), TopMostChange::MakeNotTopMost);
}
