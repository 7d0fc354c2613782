#include "video/VideoDlg.h"

#include "camera/QvtVz1Api.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "video/CameraDeviceMatch.h"
#include "video/SystemVideoCapture.h"
#include "video/VideoDlgLayout.h"
#include "video/VideoPicture.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace {

// Margin of the picture from the window's edges.
constexpr int kMargin = 8;

} // namespace

CVideoDlg::CVideoDlg(QWidget* pParent, std::unique_ptr<VideoCapture> capture)
    : QDialog(pParent), m_capture(capture ? std::move(capture) : std::make_unique<SystemVideoCapture>())
{
    // A small tool window: short caption, close box, no taskbar button, fixed size.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(LoadDialogString(IDD, IDC_CAPTION, "QVT-VZ1"));

    m_picture = new VideoPicture(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->move(kMargin, kMargin);

    m_stQuality = new QLabel(LoadDialogString(IDD, IDC_VIDEO_QUALITY_LABEL, "Video Quality"), this);
    m_stQuality->setObjectName(QStringLiteral("qualityLabel"));

    m_sliderQuality = new QSlider(Qt::Horizontal, this);
    m_sliderQuality->setObjectName(QStringLiteral("qualitySlider"));
    m_sliderQuality->setTickPosition(QSlider::TicksBelow);

    m_editQuality = new QLineEdit(this);
    m_editQuality->setObjectName(QStringLiteral("qualityBox"));
    m_editQuality->setReadOnly(true);
    m_editQuality->setAlignment(Qt::AlignCenter);
    m_editQuality->setFocusPolicy(Qt::NoFocus);
    // A read-only box has the face colour of the window, so that it does not invite typing.
    QPalette palette = m_editQuality->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_editQuality->setPalette(palette);

    // The sizes the controls have in the window; OnInitDialog places them. The label is as
    // tall as the box, its text centred, and the slider a little taller than both, so that
    // the row centres on the slider and keeps clear of the window's lower edge.
    const int boxWidth = m_editQuality->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 20;
    const int boxHeight = m_editQuality->sizeHint().height();
    m_editQuality->resize(std::max(boxWidth, 52), boxHeight);
    m_stQuality->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_stQuality->resize(m_stQuality->sizeHint().width(), boxHeight);
    m_sliderQuality->resize(m_sliderQuality->sizeHint().width(),
                            std::max(m_sliderQuality->sizeHint().height(), boxHeight + 4));

    connect(m_sliderQuality, &QSlider::valueChanged, this, [this](int value) { OnHScroll(value); });
}

CVideoDlg::~CVideoDlg()
{
    // An owner that deletes the window without closing it first still gets the quality
    // committed and the camera released.
    DestroyWindow();
}

BOOL CVideoDlg::Create()
{
    if (!OnInitDialog())
        return FALSE;
    m_bWindowOpen = true;
    // A new window comes up in front; it also takes the focus, as a created dialog does.
    show();
    activateWindow();
    return TRUE;
}

BOOL CVideoDlg::OnInitDialog()
{
    const VideoDlgLayout layout = ComputeVideoDlgLayout(m_picture->geometry(), m_stQuality->size(),
                                                        m_sliderQuality->height(), m_editQuality->width());
    m_stQuality->move(layout.label);
    m_sliderQuality->setGeometry(layout.slider);
    m_editQuality->move(layout.box);
    setFixedSize(layout.client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - layout.client.width()) / 2,
             area.y() + (area.height() - layout.client.height()) / 2);
    }

    {
        const QSignalBlocker quiet(m_sliderQuality);
        m_sliderQuality->setRange(0, 100);
        m_sliderQuality->setTickInterval(10);
        // Arrow keys move by one, Page Up/Down by a fifth of the range, Home/End to the ends.
        m_sliderQuality->setSingleStep(1);
        m_sliderQuality->setPageStep(20);
    }

    BuildPreviewGraph();
    m_sliderQuality->setFocus();
    return TRUE;
}

BOOL CVideoDlg::BuildPreviewGraph()
{
    const std::vector<VideoDeviceInfo> devices = m_capture->Devices();
    const auto found = m_capture->FindCamera(devices);
    if (!found) {
        // No camera: the NO VIDEO picture stays, without a message.
        ReleasePreviewGraph();
        ShowNoQuality();
        return FALSE;
    }
    const VideoDeviceInfo& device = devices[*found];

    m_pCompression = m_capture->OpenQualityControl(device);
    std::optional<int> percent;
    if (m_pCompression) {
        if (const auto quality = m_pCompression->GetQuality())
            percent = QualityToPercent(*quality);
    }
    if (percent) {
        ShowQuality(*percent);
        m_nInitialQuality = *percent;
    } else {
        // A quality that cannot be read cannot be shown or committed either.
        m_pCompression.reset();
        ShowNoQuality();
    }

    m_pPreview = m_capture->StartPreview(device, m_picture);
    return m_pPreview ? TRUE : FALSE;
}

void CVideoDlg::ReleasePreviewGraph()
{
    m_pCompression.reset();
    if (m_pPreview) {
        m_pPreview->Stop();
        m_pPreview.reset();
    }
}

BOOL CVideoDlg::DestroyWindow()
{
    const int pos = m_sliderQuality->value();
    // The camera keeps a changed quality over a power cycle only when told to.
    if (m_pCompression && m_nInitialQuality != -1 && pos != m_nInitialQuality)
        CamCommitSettings();
    ReleasePreviewGraph();
    const bool wasOpen = m_bWindowOpen;
    m_bWindowOpen = false;
    hide();
    return wasOpen ? TRUE : FALSE;
}

void CVideoDlg::OnHScroll(int value)
{
    ShowQuality(value);
    if (m_pCompression)
        m_pCompression->PutQuality(value * 0.01);
}

void CVideoDlg::ShowQuality(int value)
{
    if (m_sliderQuality->value() != value) {
        const QSignalBlocker quiet(m_sliderQuality);
        m_sliderQuality->setValue(value);
    }
    m_editQuality->setText(QStringLiteral("%1%").arg(value));
}

void CVideoDlg::ShowNoQuality()
{
    m_sliderQuality->setEnabled(false);
    m_editQuality->setText(QStringLiteral("--"));
    m_nInitialQuality = -1;
}

void CVideoDlg::closeEvent(QCloseEvent* event)
{
    // The owner closes the window, so that its pointer and the menu's check mark follow.
    event->ignore();
    RequestClose();
}

void CVideoDlg::reject()
{
    RequestClose();
}

void CVideoDlg::RequestClose()
{
    // Posted, not sent: the owner deletes this window, which must not happen inside its
    // own event handler. A parent that takes no commands could never close it, so then the
    // window closes itself (the owner still deletes it).
    QWidget* owner = parentWidget();
    if (dynamic_cast<CMessageTarget*>(owner))
        PostMessage(owner, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    else
        DestroyWindow();
}
