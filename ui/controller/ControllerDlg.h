#pragma once
// The controller dialog: the program's one visible main window, owned by the hidden frame.
// A view of the controller session: it shows the tracking source and placement choices and
// the Auto and Manual pages, forwards every handler to the session and redraws from its
// signals. The menu's commands that need windows (file dialogs, the settings dialog, the
// firmware update, the video window, About) live here.
#include "platform/WinMessage.h"
#include "ui/pages/AutoPage.h"
#include "ui/pages/ManualPage.h"
#include "ui/pages/ViewButtonOperations.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class ControllerMenu;
class ControllerSession;
class CPageTabCtrl;
class CVideoDlg;
class VideoCapture;

// Control ids of the dialog.
constexpr int IDC_TAB_PAGES = 1020;
constexpr int IDC_DEVICE = 1021;
constexpr int IDC_POSITION = 1022;
constexpr int IDC_REVERSE = 1023;
constexpr int IDC_POSITION_LABEL = 1025;

class CControllerDlg : public QDialog, public CMessageTarget, public ViewButtonOperations
{
public:
    explicit CControllerDlg(ControllerSession& session, QWidget* parent = nullptr);
    ~CControllerDlg() override;

    // Creates the window content hidden and has the session read the saved values
    // (OnInitDialog).
    BOOL Create();
    // The end of the dialog (WM_DESTROY): closes the video window and ends the session
    // (which saves everything, closes the camera and stops the worker). Runs once.
    void DestroyWindow();

    ControllerSession& Session() const { return m_session; }
    BOOL GetAlwaysOnTop() const;
    void SetTopMost(BOOL topMost, BOOL force);
    void RecalcLayout();
    void UpdateControlStates();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Command handlers (WM_COMMAND) and what the menu shows.
    void OnCommand(UINT id);
    void OnInitMenuPopup();
    void OnAbout();
    void OnExport();
    void OnImport();
    void OnSettings();
    void OnFirmwareUpdate();
    // The firmware update from a file named elsewhere (remote control): the menu command's
    // steps and dialog, the file read instead of picked, no question, the dialog closed
    // when it has finished. FW_RESULT_* and the dialog's last status in *status; -1 when
    // the camera is not there or does not tell its version (nothing was touched).
    int UpdateFirmwareFrom(const QString& path, QString* status);
    void OnVideoWindow();
    bool VideoWindowOpen() const { return m_pVideoWnd != nullptr; }
    void HideController();
    void CloseVideoWindow();
    // Capture services for the next video window; unset, the system's own are used.
    void SetVideoCaptureFactory(std::function<std::unique_ptr<VideoCapture>()> make)
    {
        m_makeVideoCapture = std::move(make);
    }

    // Control notifications.
    void OnSelchangeDevice();
    void OnSelchangePosition();
    void OnReverse();
    void OnSelchangeTab();

    // The option buttons 1014..1016 of the pages.
    void OnViewButton1() override;
    void OnViewButton2() override;
    void OnViewButton3() override;

    // End of session and power.
    BOOL OnQueryEndSession();
    BOOL OnPowerBroadcast(WPARAM event);

    // The controls and pages, for the frame's layout and the tests.
    CAutoPage& AutoPage() { return m_autoPage; }
    CManualPage& ManualPage() { return m_manualPage; }
    CPageTabCtrl* TabPages() const { return m_tabPages; }
    QComboBox* DeviceBox() const { return m_cbDevice; }
    QComboBox* PositionBox() const { return m_cbPosition; }
    QCheckBox* ReverseBox() const { return m_btnReverse; }
    QLabel* PositionLabel() const { return m_stPosition; }
    QMenu* FileMenu() const;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void reject() override;

private:
    void BuildControls();
    void BuildMenu();
    // Everything shown from the session's state.
    void ShowState();
    void ApplyTopMost(bool topMost);

    ControllerSession& m_session;
    QMenuBar* m_pMenuBar = nullptr;
    std::unique_ptr<ControllerMenu> m_pMenu;
    QWidget* m_pClient = nullptr;  // the client area below the menu bar
    QLabel* m_stDevice = nullptr;
    QLabel* m_stPosition = nullptr;
    QComboBox* m_cbPosition = nullptr;
    QComboBox* m_cbDevice = nullptr;
    QCheckBox* m_btnReverse = nullptr;
    CPageTabCtrl* m_tabPages = nullptr;
    CAutoPage m_autoPage;
    CManualPage m_manualPage;
    CVideoDlg* m_pVideoWnd = nullptr;  // the open video window, owned here
    std::function<std::unique_ptr<VideoCapture>()> m_makeVideoCapture;
    int m_nTabTop = 0;
    int m_nMargin = 0;
    int m_nMinWidth = 0;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bChangingTopMost = false;
};
