#pragma once
// The modal firmware update dialog: the user picks the source and presses Start; a worker
// does the update and reports each step with WM_FW_* messages, which this dialog shows.
#include "firmware/FirmwareUpdateWorker.h"
#include "platform/Clock.h"
#include "platform/WinMessage.h"

#include <QDialog>
#include <QString>

#include <atomic>
#include <thread>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// Dialog template and control ids.
constexpr UINT IDC_FW_PROGRESS = 1029;
constexpr UINT IDC_FW_STATUS = 1030;
constexpr UINT IDC_FW_START = 1031;
constexpr UINT IDC_FW_CANCEL = 1033;
constexpr UINT IDC_FW_SOURCE_NETWORK = 1149;
constexpr UINT IDC_FW_SOURCE_FILE = 1150;
constexpr UINT IDC_FW_CURRENT_VERSION = 1153;
constexpr UINT IDC_FW_RELEASE_NOTE = 1154;

// Procedure states (m_nState).
enum FirmwareUpdateState
{
    FwIdle = 0,
    FwRunning = 1,
    FwWriting = 2,
    FwRestarting = 3,
    FwFinished = 4,
};

class CFirmwareUpdateDlg : public QDialog, public CMessageTarget
{
    Q_OBJECT

public:
    explicit CFirmwareUpdateDlg(QWidget* parent, FirmwareUpdateServices* services = nullptr, CClock* clock = nullptr);
    ~CFirmwareUpdateDlg() override;

    // Set by the controller before the dialog is shown.
    QString m_strCurrentVersion;
    QString m_strPortName;
    QString m_strDownloadUrl;

    // Handlers, public so that the controller and tests can drive the dialog as a user would.
    BOOL OnInitDialog();
    void OnStart();
    void OnReleaseNote();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int GetState() const { return m_nState; }
    // FW_RESULT_* of the finished run; -1 before it finished.
    int GetResult() const { return m_nResult; }
    QString GetStatus() const { return m_strStatus; }
    int GetProgress() const;
    bool HasWorker() const { return m_hWorker.joinable(); }

    QPushButton* StartButton() const { return m_btnStart; }
    QPushButton* CancelButton() const { return m_btnCancel; }
    QPushButton* ReleaseNoteButton() const { return m_btnReleaseNote; }
    QRadioButton* SourceButton(int source) const;
    QLabel* CurrentVersionLabel() const { return m_stCurrentVersion; }

    void reject() override;

Q_SIGNALS:
    // Once per dialog, when the run has finished (state FwFinished), whatever its result
    // (GetResult): whoever drives the dialog by script closes it here.
    void updateFinished();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildControls();
    void SetStatus(UINT stringId);
    void OnDownloaded(WPARAM w);
    void OnLoaded(WPARAM w);
    void OnWriteProgress(WPARAM w);
    void OnRestartProgress(WPARAM w);
    void OnFinished(WPARAM w);
    void JoinWorker();

    FirmwareUpdateServices& m_services;
    CClock& m_clock;

    QLabel* m_stCurrentVersion = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_edStatus = nullptr;
    QRadioButton* m_rbNetwork = nullptr;
    QRadioButton* m_rbFile = nullptr;
    QPushButton* m_btnReleaseNote = nullptr;
    QPushButton* m_btnStart = nullptr;
    QPushButton* m_btnCancel = nullptr;

    QString m_strStatus;
    int m_nSource = 0;
    int m_nState = FwIdle;
    int m_nResult = -1;
    bool m_bInitDone = false;

    // What the worker reads: copied before it starts, unchanged while it runs.
    FirmwareUpdateInputs m_inputs;
    std::atomic<int> m_cancel{0};
    std::thread m_hWorker;
};
