#pragma once
// The application object: runs the controller once per login session, chooses the language
// catalogue from the user's locale, creates the hidden frame (which creates the controller
// dialog and the tray icon) and on the way out releases what it took, in reverse.
#include "app/LanguageTable.h"
#include "platform/WinTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CDeviceChangeWatcher;
class CLanguageCatalogue;
class CMainFrame;
class CPowerWatcher;
class CShutdownSignals;
class ITrayIcon;
namespace remote {
class RemoteActions;
class RemoteControl;
}
namespace fleet {
class FleetLink;
}
class QTranslator;

class CControllerApp
{
public:
    // What the application takes from its surroundings; the defaults are the desktop's.
    struct Surroundings
    {
        QStringList languageDirs = LanguageLibraryDirs();
        std::function<LCID()> userLocale = GetUserDefaultLCID;
        std::function<std::unique_ptr<ITrayIcon>()> makeTray;  // null: the desktop's tray
        bool watchSystem = true;  // devices, power, signals, the session manager and bus
    };

    CControllerApp();
    explicit CControllerApp(Surroundings surroundings);
    ~CControllerApp();
    CControllerApp(const CControllerApp&) = delete;
    CControllerApp& operator=(const CControllerApp&) = delete;

    // TRUE to enter the message loop; FALSE to end the process at once.
    BOOL InitInstance();
    // Releases everything InitInstance took; returns the exit code (0).
    int ExitInstance();
    // InitInstance, the message loop, ExitInstance: the process's exit code.
    int Run();

    // Every message box of the program carries the caption "QVT-VZ1".
    int DoMessageBox(const QString& prompt, UINT type, UINT helpId);

    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    const CLanguageCatalogue* ResourceDll() const { return m_hResourceDll.get(); }

    static constexpr const char* kSingleInstanceName = "NORVEL_QVT-VZ1_CONTROLLER";
    static constexpr const char* kFrameWindowName = "QVTVZCTRLWND";

private:
    void LoadResourceDll();
    void WatchSystem();
    void OnShutdownSignal();

    Surroundings m_surroundings;
    bool m_bHoldsMutex = false;
    std::unique_ptr<CLanguageCatalogue> m_hResourceDll;
    // Qt's own texts (standard buttons, file dialogs) in the catalogue's language.
    std::unique_ptr<QTranslator> m_pQtTranslator;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    std::unique_ptr<CDeviceChangeWatcher> m_pDeviceWatcher;
    std::unique_ptr<CPowerWatcher> m_pPowerWatcher;
    std::unique_ptr<CShutdownSignals> m_pSignals;
    std::unique_ptr<remote::RemoteActions> m_pActions;
    std::unique_ptr<remote::RemoteControl> m_pRemote;
    std::unique_ptr<fleet::FleetLink> m_pFleet;
};

// Sockets need no set-up here; the step stays so that start-up keeps its order.
BOOL AfxSocketInit();
