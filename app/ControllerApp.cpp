#include "app/ControllerApp.h"

#include "app/DeviceChangeWatcher.h"
#include "app/MainFrame.h"
#include "app/PowerWatcher.h"
#include "app/remote/RemoteControl.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/SystemTrayIcon.h"
#include "fleet/FleetLink.h"
#include "platform/Prompt.h"
#include "platform/WinMessages.h"
#include "res/LanguageCatalogue.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "ui/controller/AppIcon.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QSessionManager>

BOOL AfxSocketInit()
{
    return TRUE;
}

CControllerApp::CControllerApp() : CControllerApp(Surroundings{}) {}

CControllerApp::CControllerApp(Surroundings surroundings) : m_surroundings(std::move(surroundings)) {}

CControllerApp::~CControllerApp()
{
    ExitInstance();
}

BOOL CControllerApp::InitInstance()
{
    if (AcquireSingleInstance(kSingleInstanceName, false) == 1)
        return FALSE;
    m_bHoldsMutex = true;
    if (!AfxSocketInit()) {
        DoMessageBox(LoadStringRes(103), MB_OK, 0);
        return FALSE;
    }
    LoadResourceDll();

    // Hiding the controller dialog does not end the program: it lives on in the tray.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        gui->setQuitOnLastWindowClosed(false);
        // Every window, message box and file dialog shows icon 128 in the task bar.
        QGuiApplication::setWindowIcon(LoadAppIcon());
    }
    std::unique_ptr<ITrayIcon> tray =
        m_surroundings.makeTray ? m_surroundings.makeTray() : std::make_unique<CSystemTrayIcon>();
    m_pMainWnd = std::make_unique<CMainFrame>(std::move(tray));
    m_pMainWnd->setObjectName(QLatin1String(kFrameWindowName));
    AfxSetMainWnd(m_pMainWnd.get());
    m_pMainWnd->SetOnDestroyed([] { QCoreApplication::quit(); });
    // Watched before the first presence check, so that no change after it goes unnoticed.
    if (m_surroundings.watchSystem)
        m_pDeviceWatcher = std::make_unique<CDeviceChangeWatcher>(m_pMainWnd.get());
    if (!m_pMainWnd->Create()) {
        m_pDeviceWatcher.reset();
        AfxSetMainWnd(nullptr);
        m_pMainWnd.reset();
        return FALSE;
    }
    if (m_surroundings.watchSystem)
        WatchSystem();
    // scripts/demo shows the controller while its meeting plays, as Show Controller would.
    if (qEnvironmentVariableIntValue("QVT_VZ1_SHOW_CONTROLLER") == 1)
        m_pMainWnd->WindowProc(WM_COMMAND, ID_SHOW_CONTROLLER, 0);
    return TRUE;
}

void CControllerApp::LoadResourceDll()
{
    const char* library = LanguageLibraryName(m_surroundings.userLocale());
    if (!library)
        return;
    // A missing or unreadable catalogue is no error: the built-in texts serve.
    m_hResourceDll = LoadLanguageLibrary(library, m_surroundings.languageDirs);
    if (!m_hResourceDll)
        return;
    AfxSetResourceCatalogue(m_hResourceDll.get());
    // Without Qt's translations its dialogs would stay English around translated texts;
    // a missing file leaves them English and is no error. A catalogue without a single text
    // (a damaged file) leaves the program English, Qt's texts included.
    if (m_hResourceDll->Count() == 0)
        return;
    auto translator = std::make_unique<QTranslator>();
    const QString name = QtTranslationName(m_surroundings.userLocale());
    if (translator->load(QStringLiteral("qtbase_") + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_pQtTranslator = std::move(translator);
}

void CControllerApp::WatchSystem()
{
    CMainFrame* frame = m_pMainWnd.get();
    m_pPowerWatcher = std::make_unique<CPowerWatcher>(std::vector<HWND>{frame, &frame->ControllerDlg()});
    m_pSignals = std::make_unique<CShutdownSignals>([this](int) { OnShutdownSignal(); });
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Log-off: the dialog saves its values and closes the camera, as on a session end.
        QObject::connect(gui, &QGuiApplication::commitDataRequest, frame, [frame](QSessionManager& manager) {
            manager.setRestartHint(QSessionManager::RestartNever);
            SendMessage(&frame->ControllerDlg(), WM_QUERYENDSESSION, 0, 0);
        });
    }
    // Remote control on the session bus; without a bus the program runs without it.
    m_pActions = std::make_unique<remote::RemoteActions>(frame->Session(), *frame);
    m_pRemote = std::make_unique<remote::RemoteControl>(*m_pActions, QDBusConnection::sessionBus());
    if (!m_pRemote->Register())
        m_pRemote.reset();
    // The fleet's broker, when the profile names one; the settings dialog restarts it.
    m_pFleet = std::make_unique<fleet::FleetLink>(*m_pActions, frame->Session().ProfilePath());
    QObject::connect(m_pFleet.get(), &fleet::FleetLink::balloon, frame, [frame](const QString& text) {
        frame->UpdateTrayIcon(text);
    });
    QObject::connect(&frame->Session(), &ControllerSession::fleetChanged, m_pFleet.get(), [this] { m_pFleet->Restart(); });
    m_pFleet->Restart();
    // Whatever ends the loop, the frame goes down the same way as through Exit.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, frame,
                     [frame] { frame->DestroyWindow(); });
}

void CControllerApp::OnShutdownSignal()
{
    if (m_pMainWnd && m_pMainWnd->IsWindow())
        SendMessage(m_pMainWnd.get(), WM_CLOSE, 0, 0);
    else
        QCoreApplication::quit();
}

int CControllerApp::ExitInstance()
{
    m_pFleet.reset();
    m_pRemote.reset();
    m_pActions.reset();
    m_pSignals.reset();
    m_pPowerWatcher.reset();
    m_pDeviceWatcher.reset();
    if (m_pMainWnd) {
        m_pMainWnd->SetOnDestroyed(nullptr);
        m_pMainWnd->DestroyWindow();
        AfxSetMainWnd(nullptr);
        m_pMainWnd.reset();
    }
    if (m_pQtTranslator) {
        QCoreApplication::removeTranslator(m_pQtTranslator.get());
        m_pQtTranslator.reset();
    }
    if (m_hResourceDll) {
        AfxSetResourceCatalogue(nullptr);
        m_hResourceDll.reset();
    }
    if (m_bHoldsMutex) {
        ReleaseSingleInstance();
        m_bHoldsMutex = false;
    }
    return 0;
}

int CControllerApp::Run()
{
    if (!InitInstance())
        return ExitInstance();
    QCoreApplication::exec();
    return ExitInstance();
}

int CControllerApp::DoMessageBox(const QString& prompt, UINT type, UINT)
{
    return Prompter().MessageBox(QApplication::activeWindow(), QString::fromLatin1(kMessageBoxCaption), prompt, type);
}
