// Renders the controller dialog offscreen into PNG files, to look at it without a desktop:
//   controller_screenshot <folder>
// writes controller-auto.png, controller-manual.png, controller-front.png and about.png there.
#include "platform/WinMessages.h"
#include "tests/support/CameraApiDouble.h"
#include "settings/SettingsDlg.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/ControllerDlg.h"
#include "ui/controller/PageTabCtrl.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabBar>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()).constData(), 1);
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    CControllerDlg dlg(nullptr, (home.path() + QStringLiteral("/shot.ini")).toStdString());
    dlg.Create();
    dlg.show();
    SendMessage(&dlg, WM_CAMERA_MODE, 1, 0);
    QApplication::processEvents();
    bool ok = dlg.grab().save(out + QStringLiteral("/controller-auto.png"));
    dlg.m_tabPages->TabBar()->setCurrentIndex(1);
    QApplication::processEvents();
    ok = dlg.grab().save(out + QStringLiteral("/controller-manual.png")) && ok;

    // A speakerphone chosen, the camera in Front: the direction selector on the Auto page.
    dlg.m_tabPages->TabBar()->setCurrentIndex(0);
    dlg.m_cbDevice->setCurrentIndex(1);
    dlg.OnSelchangeDevice();
    SendMessage(&dlg, WM_CAMERA_MODE, 3, 0);
    QApplication::processEvents();
    ok = dlg.grab().save(out + QStringLiteral("/controller-front.png")) && ok;

    CAboutDlg about;
    about.m_strVersion = CAboutDlg::FirmwareVersionLine();
    about.OnInitDialog();
    about.show();
    QApplication::processEvents();
    ok = about.grab().save(out + QStringLiteral("/about.png")) && ok;
    // A microphone array chosen: its entry in the Device Name box; the settings dialog's group.
    dlg.m_cbDevice->setCurrentIndex(dlg.m_cbDevice->findData(6));
    dlg.OnSelchangeDevice();
    QApplication::processEvents();
    ok = dlg.grab().save(out + QStringLiteral("/controller-micarray.png")) && ok;
    CSettingsDlg settings;
    settings.m_micArraySetup.geometry = "circular:6:0.046";
    settings.m_micArraySetup.nZeroAngle = 90;
    settings.OnInitDialog();
    settings.show();
    QApplication::processEvents();
    ok = settings.grab().save(out + QStringLiteral("/settings.png")) && ok;
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
