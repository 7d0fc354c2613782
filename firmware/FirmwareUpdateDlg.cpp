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
#include <QTextDocument>
#include <QtMath>
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

// Every text the status box can show.
constexpr UINT kStatusTexts[] = {IDS_FW_INTRO, IDS_FW_DOWNLOAD_FAILED, IDS_FW_COMPLETED, IDS_FW_RESTARTING,
                                 IDS_FW_WRITING, IDS_FW_LOAD_FAILED, IDS_FW_WRITE_FAILED, IDS_FW_CANCELLED};

// The height the status box needs to show the longest of its texts whole, at least its
// template height: longer translations would lose their last lines.
int StatusBoxHeight(const QPlainTextEdit& box, int minimum)
{
    const int margin = qCeil(box.document()->documentMargin());
    const int frame = box.frameWidth();
    const int width = box.width() - 2 * frame - 2 * margin;
    const QFontMetrics fm(box.font());
    int needed = 0;
    for (UINT id : kStatusTexts) {
        const QString text = LoadStringRes(id).remove(u'\r');
        needed = std::max(needed, fm.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text).height());
    }
    return std::max(minimum, needed + 2 * frame + 2 * margin + 2);
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
    setWindowTitle(Text(IDC_CAPTION, "QVT-VZ1 Firmware Update"));

    m_stCurrentVersion = new QLabel(this);
    auto* progressLabel = new QLabel(Text(IDC_STATIC_FIRST, "Progress"), this);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    auto* statusLabel = new QLabel(Text(IDC_STATIC_FIRST - 1, "Status"), this);
    m_edStatus = new QPlainTextEdit(this);
    m_edStatus->setReadOnly(true);
    m_rbNetwork = new QRadioButton(Text(IDC_FW_SOURCE_NETWORK, "Download from the network."), this);
    m_rbFile = new QRadioButton(Text(IDC_FW_SOURCE_FILE, "Specify a local file."), this);
    m_btnReleaseNote = new QPushButton(Text(IDC_FW_RELEASE_NOTE, "Release Note"), this);
    m_btnStart = new QPushButton(Text(IDC_FW_START, "Start"), this);
    m_btnCancel = new QPushButton(Text(IDC_FW_CANCEL, "Cancel"), this);

    // The template's placement (236 x 128 dialog units in pixels of an 8-point font), widened
    // where a translation needs more room: the buttons as wide as their longest text (Start
    // becomes Close at the end), the radios beside them, the status box as tall as its
    // longest text; everything below a grown part moves down.
    int button = 90;
    for (QPushButton* b : {m_btnReleaseNote, m_btnStart, m_btnCancel})
        button = std::max(button, b->sizeHint().width());
    button = std::max(button, m_btnStart->fontMetrics().horizontalAdvance(LoadStringRes(IDS_FW_CLOSE)) + 24);
    const int radio = std::max({230, m_rbNetwork->sizeHint().width(), m_rbFile->sizeHint().width()});
    const int width = std::max(354, 10 + radio + 14 + button + 10);
    const int inner = width - 20;
    m_stCurrentVersion->setGeometry(10, 8, inner, 16);
    progressLabel->setGeometry(10, 28, inner, 14);
    m_progress->setGeometry(10, 44, inner, 16);
    statusLabel->setGeometry(10, 64, inner, 14);
    m_edStatus->setGeometry(10, 80, inner, 56);
    const int grow = StatusBoxHeight(*m_edStatus, 56) - 56;
    m_edStatus->resize(inner, 56 + grow);
    m_rbNetwork->setGeometry(10, 142 + grow, radio, 18);
    m_rbFile->setGeometry(10, 162 + grow, radio, 18);
    const int right = width - 10 - button;
    m_btnReleaseNote->setGeometry(right, 142 + grow, button, 24);
    m_btnStart->setGeometry(right - 6 - button, 178 + grow, button, 24);
    m_btnCancel->setGeometry(right, 178 + grow, button, 24);
    setFixedSize(width, 208 + grow);
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
    const bool first = m_nState != FwFinished;
    m_nState = FwFinished;
    m_nResult = static_cast<int>(w);
    JoinWorker();
    if (w == FW_RESULT_COMPLETED)
        SetStatus(IDS_FW_COMPLETED);
    else if (w == FW_RESULT_CANCELLED)
        SetStatus(IDS_FW_CANCELLED);
    m_btnStart->setText(LoadStringRes(IDS_FW_CLOSE));
    m_btnStart->setEnabled(true);
    if (first)
        Q_EMIT updateFinished();
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
