#include "ui/settings/SettingsDlg.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "res/CameraStrings.h"
#include "res/CameraText.h"
#include "res/Strings.h"
#include "ui/settings/CameraConnectionGroup.h"
#include "platform/Prompt.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "settings/FirmwareUrl.h"
#include "ui/settings/FleetGroup.h"
#include "ui/settings/MicArrayGroup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QGuiApplication>
#include <QVBoxLayout>

namespace {

QString IdName(int id)
{
    return QString::number(id);
}

QString Text(UINT control, const char* builtIn)
{
    return LoadDialogString(IDD_SETTINGS, control, builtIn);
}

constexpr UINT kFormatGroup = IDC_STATIC_FIRST;
constexpr UINT kUrlGroup = IDC_STATIC_FIRST - 1;

} // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent, MicArrayReadout* readout)
    : QDialog(parent)
{
    setWindowTitle(Text(IDC_CAPTION, "Settings"));
    setModal(true);

    m_checkTop = new QCheckBox(Text(IDC_ALWAYS_ON_TOP, "Always on Top"), this);
    m_checkTop->setObjectName(IdName(IDC_ALWAYS_ON_TOP));

    auto* formatBox = new QGroupBox(Text(kFormatGroup, "Video Output Format"), this);
    m_radioNtsc = new QRadioButton(Text(IDC_NTSC, "NTSC"), formatBox);
    m_radioNtsc->setObjectName(IdName(IDC_NTSC));
    m_radioPal = new QRadioButton(Text(IDC_PAL, "PAL"), formatBox);
    m_radioPal->setObjectName(IdName(IDC_PAL));
    m_formats = new QButtonGroup(this);
    m_formats->addButton(m_radioNtsc, 0);
    m_formats->addButton(m_radioPal, 1);
    auto* formatLayout = new QHBoxLayout(formatBox);
    formatLayout->addWidget(m_radioNtsc);
    formatLayout->addWidget(m_radioPal);
    formatLayout->addStretch();

    auto* urlBox = new QGroupBox(Text(kUrlGroup, "Firmware Download URL"), this);
    m_editUrl = new QLineEdit(urlBox);
    m_editUrl->setObjectName(IdName(IDC_FIRMWARE_URL));
    m_btnDefault = new QPushButton(Text(IDC_URL_DEFAULT, "Default"), urlBox);
    m_btnDefault->setObjectName(IdName(IDC_URL_DEFAULT));
    m_btnDefault->setAutoDefault(false);
    auto* urlLayout = new QVBoxLayout(urlBox);
    urlLayout->addWidget(m_editUrl);
    urlLayout->addWidget(m_btnDefault, 0, Qt::AlignRight);
    connect(m_btnDefault, &QPushButton::clicked, this, [this] { OnDefault(); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(Text(IDOK, "OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(IdName(IDOK));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(Text(IDCANCEL, "Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(IdName(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);

    // The groups scroll when the screen is too short for them (a 768-pixel laptop screen, a
    // long language), so that OK and Cancel always stay in reach.
    m_body = new QWidget;
    auto* body = new QVBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_checkTop);
    body->addWidget(formatBox);
    body->addWidget(urlBox);
    m_cameraGroup = new CCameraConnectionGroup(m_body);
    body->addWidget(m_cameraGroup);
    m_micArrayGroup = new CMicArrayGroup(readout, m_body);
    body->addWidget(m_micArrayGroup);
    m_fleetGroup = new CFleetGroup(m_body);
    m_fleetGroup->setVisible(false);
    body->addWidget(m_fleetGroup);
    body->addStretch();
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_body);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(buttons);

    // The template's 259 x 145 dialog units in this font.
    const QFontMetrics fm(font());
    const int baseX = (fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    setMinimumSize((259 * baseX + 2) / 4, (145 * fm.height() + 4) / 8);
    FitToScreen();
}

void CSettingsDlg::FitToScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int frame = 48;  // the window manager's title bar and border, about
    FitToHeight(s ? s->availableGeometry().height() - frame : QWIDGETSIZE_MAX);
}

void CSettingsDlg::FitToHeight(int room)
{
    // The whole of the groups when the screen has room, else as much as it has; never
    // narrower than the groups, which do not scroll sideways.
    m_body->adjustSize();
    const QSize content = m_body->sizeHint();
    // Height of what else the dialog holds: the scroll area counts as exactly its content.
    m_scroll->setFixedHeight(content.height());
    const int others = layout()->sizeHint().height() - content.height();
    m_scroll->setFixedHeight(std::max(100, std::min(content.height(), room - others)));
    m_scroll->setMinimumWidth(content.width() + m_scroll->verticalScrollBar()->sizeHint().width());
    resize(minimumSize().expandedTo(sizeHint()));
    m_scroll->setMaximumHeight(QWIDGETSIZE_MAX);  // the user may still make it taller
}

CSettingsDlg::~CSettingsDlg() = default;

int CSettingsDlg::exec()
{
    OnInitDialog();
    FitToScreen();  // the microphone group may have been hidden since
    return QDialog::exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

BOOL CSettingsDlg::OnInitDialog()
{
    DoDataExchange(false);
    m_bCameraOpen = CamIsOpen();
    // The radios still show the last known format; they just cannot be changed.
    // A camera without the QVT-VZ1's format setting: off, and the tooltip says why.
    const bool hasFormat = CamCapabilities().videoFormat;
    for (QRadioButton* radio : {m_radioNtsc, m_radioPal}) {
        radio->setEnabled(m_bCameraOpen != 0 && hasFormat);
        radio->setToolTip(hasFormat ? QString() : LoadCameraText(kStrNoVideoFormat, QString::fromStdString(CamConnection().Name())));
    }
    if (m_bListenToArray)
        m_micArrayGroup->StartListening();
    return TRUE;
}

void CSettingsDlg::OnDefault()
{
    m_strFirmwareUrl = QString::fromUtf8(kDefaultFirmwareUrl);
    ShowUrl();
}

void CSettingsDlg::ShowUrl()
{
    // From its start: the server and path tell more than the file name at the end.
    m_editUrl->setText(m_strFirmwareUrl);
    m_editUrl->setCursorPosition(0);
}

void CSettingsDlg::accept()
{
    if (const UINT missing = m_cameraGroup->MissingInput()) {
        AfxMessageBox(missing);
        return;
    }
    if (const QString problem = m_fleetGroup->Problem(); m_fleetGroup->isVisibleTo(this) && !problem.isEmpty()) {
        AfxMessageBox(problem);
        return;
    }
    DoDataExchange(true);
    QDialog::accept();
}

void CSettingsDlg::DoDataExchange(bool bSaveAndValidate)
{
    if (bSaveAndValidate) {
        m_bAlwaysOnTop = m_checkTop->isChecked() ? 1 : 0;
        m_strFirmwareUrl = m_editUrl->text();
        m_nVideoFormat = m_radioPal->isChecked() ? 1 : (m_radioNtsc->isChecked() ? 0 : m_nVideoFormat);
        m_camera = m_cameraGroup->Value();
        m_micArraySetup = m_micArrayGroup->Setup();
    } else {
        m_cameraGroup->SetValue(m_camera);
        m_micArrayGroup->SetSetup(m_micArraySetup);
        m_checkTop->setChecked(m_bAlwaysOnTop != 0);
        ShowUrl();
        // A format other than 0 or 1 checks neither radio, as the radio group shows it.
        m_formats->setExclusive(false);
        m_radioNtsc->setChecked(m_nVideoFormat == 0);
        m_radioPal->setChecked(m_nVideoFormat == 1);
        m_formats->setExclusive(true);
    }
}

AppSettings CSettingsDlg::Choice() const
{
    AppSettings choice;
    choice.bAlwaysOnTop = m_bAlwaysOnTop;
    choice.strFirmwareUrl = m_strFirmwareUrl;
    choice.nVideoFormat = m_nVideoFormat;
    choice.camera = m_camera;
    return choice;
}

SettingsOutcome RunSettingsDialog(QWidget* parent, AppSettings& current, MicArraySetup* micArray,
                                  MicArrayReadout* readout, bool listen, const std::string* fleetProfile)
{
    CSettingsDlg dlg(parent, readout);
    dlg.m_bAlwaysOnTop = current.bAlwaysOnTop;
    dlg.m_strFirmwareUrl = current.strFirmwareUrl;
    dlg.m_nVideoFormat = current.nVideoFormat;
    dlg.m_camera = current.camera;
    if (micArray)
        dlg.m_micArraySetup = *micArray;
    dlg.m_micArrayGroup->setVisible(micArray != nullptr);
    dlg.m_bListenToArray = micArray && listen;
    if (fleetProfile)
        dlg.m_fleetGroup->SetConfig(fleet::LoadFleetConfig(*fleetProfile));
    dlg.m_fleetGroup->setVisible(fleetProfile != nullptr);
    if (dlg.exec() != IDOK)
        return {};
    if (micArray)
        *micArray = dlg.m_micArraySetup;
    SettingsOutcome outcome = ApplySettingsChoice(current, dlg.Choice(), dlg.m_bCameraOpen);
    outcome.bFleetChanged = fleetProfile && ApplyFleetGroup(*dlg.m_fleetGroup, *fleetProfile);
    return outcome;
}
