#include "firmware/FirmwareUpdateDlg.h"

#include "firmware/MessageText.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <algorithm>
#include <system_error>

namespace {
constexpr UINT IDS_FW_INTRO = 35017;
constexpr UINT IDS_FW_DOWNLOAD_FAILED = 35018;
constexpr UINT IDS_FW_CLOSE = 35019;
constexpr UINT IDS_FW_COMPLETED = 35020;
constexpr UINT IDS_FW_RESTARTING = 35021;
constexpr UINT IDS_FW_WRITING = 35022;
constexpr UINT IDS_FW_LOAD_FAILED = 35023;
constexpr UINT IDS_FW_WRITE_FAILED = 35024;
constexpr UINT IDS_FW_CANCELLED = 35027;
constexpr UINT IDS_FW_RELEASE_NOTE_URL = 35035;
constexpr UINT IDS_FW_CURRENT_VERSION = 35036;

QString Text(UINT control, const char* builtIn)
{
    return LoadDialogString(IDD_FIRMWARE_UPDATE, control, builtIn);
}
} // namespace

CFirmwareUpdateDlg::CFirmwareUpdateDlg(QWidget* parent, FirmwareUpdateServices* services, CClock* clock)
    : QDialog(parent),
      m_services(services ? *services : SystemFirmwareServices()),
      m_clock(clock ? *clock : SystemClock())
{
    BuildControls();
}

CFirmwareUpdateDlg::~CFirmwareUpdateDlg()
{
    // The window goes away with a worker still held: ask it to stop where it safely can
    // and wait for it, so that it never posts to a dialog that no longer exists.
    m_cancel = 1;
    JoinWorker();
}

void CFirmwareUpdateDlg::BuildControls()
{
    // The template's 236 x 128 dialog units in pixels of an 8-point system font.
    setWindowTitle(Text(0, "QVT-VZ1 Firmware Update"));
    setFixedSize(354, 208);

    m_stCurrentVersion = new QLabel(this);
    m_stCurrentVersion->setGeometry(10, 8, 334, 16);

    auto* progressLabel = new QLabel(Text(0xFFFF, "Progress"), this);
    progressLabel->setGeometry(10, 28, 334, 14);
    m_progress = new QProgressBar(this);
    m_progress->setGeometry(10, 44, 334, 16);
    m_progress->setTextVisible(false);

    auto* statusLabel = new QLabel(Text(0xFFFE, "Status"), this);
    statusLabel->setGeometry(10, 64, 334, 14);
    m_edStatus = new QPlainTextEdit(this);
    m_edStatus->setGeometry(10, 80, 334, 56);
    m_edStatus->setReadOnly(true);

    m_rbNetwork = new QRadioButton(Text(IDC_FW_SOURCE_NETWORK, "Download from the network."), this);
    m_rbNetwork->setGeometry(10, 142, 230, 18);
    m_rbFile = new QRadioButton(Text(IDC_FW_SOURCE_FILE, "Specify a local file."), this);
    m_rbFile->setGeometry(10, 162, 230, 18);

    m_btnReleaseNote = new QPushButton(Text(IDC_FW_RELEASE_NOTE, "Release Note"), this);
    m_btnReleaseNote->setGeometry(254, 142, 90, 24);
    m_btnStart = new QPushButton(Text(IDC_FW_START, "Start"), this);
    m_btnStart->setGeometry(158, 178, 90, 24);
    m_btnCancel = new QPushButton(Text(IDC_FW_CANCEL, "Cancel"), this);
    m_btnCancel->setGeometry(254, 178, 90, 24);
    // Enter and Escape are this dialog's own business (keyPressEvent), not a default button's.
    for (QPushButton* b : {m_btnReleaseNote, m_btnStart, m_btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(m_btnStart, &QPushButton::clicked, this, [this] { OnStart(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { done(IDCANCEL); });
    connect(m_btnReleaseNote, &QPushButton::clicked, this, [this] { OnReleaseNote(); });
}

QRadioButton* CFirmwareUpdateDlg::SourceButton(int source) const
{
    return source == 0 ? m_rbNetwork : m_rbFile;
}

int CFirmwareUpdateDlg::GetProgress() const
{
    return m_progress->value();
}

BOOL CFirmwareUpdateDlg::OnInitDialog()
{
    m_bInitDone = true;
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    SetStatus(IDS_FW_INTRO);
    (m_nSource == 0 ? m_rbNetwork : m_rbFile)->setChecked(true);
    m_inputs.strPortName = m_strPortName.toStdString();
    m_inputs.strDownloadUrl = m_strDownloadUrl.toStdString();
    m_inputs.strCurrentVersion = m_strCurrentVersion.toStdString();
    m_stCurrentVersion->setText(FormatMessageText(LoadStringRes(IDS_FW_CURRENT_VERSION), {m_strCurrentVersion}));
    return TRUE;
}

void CFirmwareUpdateDlg::showEvent(QShowEvent* e)
{
    if (!m_bInitDone)
        OnInitDialog();
    QDialog::showEvent(e);
}

void CFirmwareUpdateDlg::SetStatus(UINT stringId)
{
    m_strStatus = LoadStringRes(stringId);
    m_edStatus->setPlainText(m_strStatus);
}

void CFirmwareUpdateDlg::OnStart()
{
    if (m_nState == FwFinished) {
        done(IDOK);
        return;
    }
    if (m_nState != FwIdle)
        return;

    m_nSource = m_rbFile->isChecked() ? 1 : 0;
    m_nState = FwRunning;
    m_inputs.nSource = m_nSource;
    try {
        m_hWorker = std::thread([this] {
            FirmwareUpdateThread(this, m_inputs, m_services, m_clock, m_cancel);
        });
    } catch (const std::system_error&) {
        SetStatus(IDS_FW_DOWNLOAD_FAILED);
        PostMessage(this, WM_FW_FINISHED, FW_RESULT_FAILED, 0);
        return;
    }
    m_rbNetwork->setEnabled(false);
    m_rbFile->setEnabled(false);
    m_btnReleaseNote->setEnabled(false);
    m_btnStart->setEnabled(false);
    m_btnCancel->hide();
}

void CFirmwareUpdateDlg::OnReleaseNote()
{
    QDesktopServices::openUrl(QUrl(LoadStringRes(IDS_FW_RELEASE_NOTE_URL)));
}

LRESULT CFirmwareUpdateDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_FW_DOWNLOADED: OnDownloaded(wParam); break;
    case WM_FW_LOADED: OnLoaded(wParam); break;
    case WM_FW_WRITE_PROGRESS: OnWriteProgress(wParam); break;
    case WM_FW_RESTART_PROGRESS: OnRestartProgress(wParam); break;
    case WM_FW_FINISHED: OnFinished(wParam); break;
    default: break;
    }
    return 0;
}

void CFirmwareUpdateDlg::OnDownloaded(WPARAM w)
{
    if (w == 1)
        m_progress->setValue(100);
    else if (w == 0)
        SetStatus(IDS_FW_DOWNLOAD_FAILED);
}

void CFirmwareUpdateDlg::OnLoaded(WPARAM w)
{
    const LPARAM r = static_cast<LPARAM>(w);
    if (r == 0) {
        m_nState = FwWriting;
        SetStatus(IDS_FW_WRITING);
    } else if (r >= -6 && r <= -1) {
        SetStatus(IDS_FW_LOAD_FAILED);
    }
}

void CFirmwareUpdateDlg::OnWriteProgress(WPARAM w)
{
    if (w <= 100)
        m_progress->setValue(static_cast<int>(w));
    else
        SetStatus(IDS_FW_WRITE_FAILED);
}

void CFirmwareUpdateDlg::OnRestartProgress(WPARAM w)
{
    if (w == 0) {
        m_nState = FwRestarting;
        SetStatus(IDS_FW_RESTARTING);
    }
    m_progress->setValue(static_cast<int>(std::min<WPARAM>(w, 100)));
}

void CFirmwareUpdateDlg::OnFinished(WPARAM w)
{
    m_nState = FwFinished;
    JoinWorker();
    if (w == FW_RESULT_COMPLETED)
        SetStatus(IDS_FW_COMPLETED);
    else if (w == FW_RESULT_CANCELLED)
        SetStatus(IDS_FW_CANCELLED);
    m_btnStart->setText(LoadStringRes(IDS_FW_CLOSE));
    m_btnStart->setEnabled(true);
}

void CFirmwareUpdateDlg::JoinWorker()
{
    if (m_hWorker.joinable())
        m_hWorker.join();
}

bool CFirmwareUpdateDlg::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QDialog::event(e);
}

void CFirmwareUpdateDlg::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        e->accept();
        if (HasWorker())
            return;  // nothing may end the dialog while the worker runs
        if (key == Qt::Key_Escape)
            reject();
        else
            done(IDOK);
        return;
    }
    QDialog::keyPressEvent(e);
}

void CFirmwareUpdateDlg::closeEvent(QCloseEvent* e)
{
    if (HasWorker()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void CFirmwareUpdateDlg::reject()
{
    if (HasWorker())
        return;
    done(IDCANCEL);
}
