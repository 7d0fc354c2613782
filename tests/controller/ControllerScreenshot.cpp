// Renders the program's windows offscreen into PNG files, to look at them without a desktop:
//   controller_screenshot <folder> [RESDE.ini|RESFR.ini|RESJP.ini|RESCN.ini]
// writes controller-auto.png, controller-manual.png, controller-front.png, about.png,
// controller-micarray.png, settings.png, firmware.png, video.png and file-dialog.png there, in the catalogue's language when one is named
// (looked for in the source tree's res/lang, or given as a path).
#include "controller/ControllerSession.h"
#include "firmware/FirmwareUpdateDlg.h"
#include "platform/WinMessages.h"
#include "res/LanguageCatalogue.h"
#include "res/Strings.h"
#include "res/TextIds.h"
#include "ui/settings/SettingsDlg.h"
#include "tests/support/CameraApiDouble.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/ControllerDlg.h"
#include "ui/controller/PageTabCtrl.h"
#include "tests/controller/NoVideoCapture.h"
#include "video/VideoCapture.h"
#include "video/VideoDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()).constData(), 1);
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    std::unique_ptr<CLanguageCatalogue> catalogue;
    QTranslator qt;
    if (argc > 2) {
        QString path = QString::fromLocal8Bit(argv[2]);
        if (!QFileInfo::exists(path))
            path = QStringLiteral(QVT_SOURCE_DIR "/res/lang/") + path;
        catalogue = CLanguageCatalogue::Load(path);
        if (!catalogue) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        AfxSetResourceCatalogue(catalogue.get());
        const QString name = QFileInfo(path).baseName().mid(3).toLower();
        const QString qtName = name == QLatin1String("jp") ? QStringLiteral("ja")
                             : name == QLatin1String("cn") ? QStringLiteral("zh_CN") : name;
        if (qt.load(QStringLiteral("qtbase_") + qtName, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qt);
    }
    const auto shoot = [&out](QWidget& w, const char* name) {
        w.show();
        QApplication::processEvents();
        return w.grab().save(out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    };

    ControllerSession session((home.path() + QStringLiteral("/shot.ini")).toStdString());
    CControllerDlg dlg(session);
    dlg.Create();
    // A speakerphone chosen, the camera in Upside: the direction selector on the Auto page.
    session.OnSelchangeDevice(1);
    SendMessage(&dlg, WM_CAMERA_MODE, 1, 0);
    bool ok = shoot(dlg, "controller-auto");
    dlg.TabPages()->TabBar()->setCurrentIndex(1);
    ok = shoot(dlg, "controller-manual") && ok;
    dlg.TabPages()->TabBar()->setCurrentIndex(0);
    SendMessage(&dlg, WM_CAMERA_MODE, 3, 0);
    ok = shoot(dlg, "controller-front") && ok;
    // A microphone array chosen: its entry in the Device Name box.
    session.OnSelchangeDevice(6);
    ok = shoot(dlg, "controller-micarray") && ok;

    CAboutDlg about;
    about.m_strVersion = CAboutDlg::FirmwareVersionLine();
    about.OnInitDialog();
    ok = shoot(about, "about") && ok;

    CSettingsDlg settings(nullptr);
    settings.m_micArraySetup.geometry = "circular:6:0.046";
    settings.m_micArraySetup.nZeroAngle = 90;
    settings.OnInitDialog();
    ok = shoot(settings, "settings") && ok;

    CFirmwareUpdateDlg firmware(nullptr);
    firmware.m_strCurrentVersion = QStringLiteral("2.03");
    ok = shoot(firmware, "firmware") && ok;

    CVideoDlg video(nullptr, std::make_unique<NoVideoCapture>());
    video.Create();
    ok = shoot(video, "video") && ok;
    video.DestroyWindow();

    // Qt's own file dialog, as export shows it: Qt's texts and the filters in the language.
    QFileDialog files(nullptr, QString(), home.path(),
                      LoadFilterString(IDS_FILTER_SETTING_FILES) + QStringLiteral(";;") + LoadFilterString(IDS_FILTER_ALL_FILES));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    ok = shoot(files, "file-dialog") && ok;

    AfxSetResourceCatalogue(nullptr);
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
