#include "ui/pages/AutoPage.h"

#include "res/CameraText.h"
#include "res/Strings.h"
#include "settings/CameraSettings.h"
#include "ui/controls/ArtPicture.h"
#include "ui/controls/BarDirectionSelector.h"
#include "ui/controls/BitmapButton.h"
#include "ui/controls/DiscDirectionSelector.h"
#include "ui/controls/TriangleDirectionSelector.h"
#include "ui/pages/PageIds.h"
#include "ui/pages/TextFit.h"

#include <QLineEdit>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QStyle>

#include <algorithm>

namespace {
// Pictures of the camera positions, indexed by position.
constexpr UINT kPositionPictures[4] = {134, 132, 133, 135};
constexpr UINT IDS_POSITION_NAME_FIRST = 35000;
constexpr UINT IDS_NOT_AVAILABLE = 35004;
constexpr UINT IDS_POSITION_TEXT_FIRST = 35007;
constexpr UINT IDS_IMPROPER_CONNECTION = 35011;

constexpr int kMargin = 15;
constexpr int kWidth = 222;
}

CAutoPage::CAutoPage(QWidget* parent) : ControlPage(IDD_AUTO_PAGE, parent)
{
    m_pTriangle = new CTriangleDirectionSelector(this);
    m_pTriangle->setObjectName(QStringLiteral("selector%1").arg(IDC_TRIANGLE_SELECTOR));
    m_pDisc = new CDiscDirectionSelector(this);
    m_pDisc->setObjectName(QStringLiteral("selector%1").arg(IDC_DISC_SELECTOR));
    m_pBar = new CBarDirectionSelector(this);
    m_pBar->setObjectName(QStringLiteral("selector%1").arg(IDC_BAR_SELECTOR));
    // A microphone array (kind 6) is placed and taught like the QVT-40S disc.
    m_selectorTable = {nullptr, m_pDisc, m_pBar, m_pTriangle, m_pDisc, m_pBar, m_pDisc};
    HideSelectors();

    m_pPicture = new ArtPicture(IDC_POSITION_PICTURE, this);
    m_pPicture->SetImage(135);

    m_pName = new QLineEdit(this);
    m_pName->setObjectName(QStringLiteral("edit%1").arg(IDC_POSITION_NAME));
    m_pName->setReadOnly(true);
    m_pName->setAlignment(Qt::AlignCenter);
    m_pName->setFocusPolicy(Qt::NoFocus);

    m_pDescription = new QPlainTextEdit(this);
    m_pDescription->setObjectName(QStringLiteral("edit%1").arg(IDC_POSITION_TEXT));
    m_pDescription->setReadOnly(true);
    m_pDescription->setFocusPolicy(Qt::NoFocus);
    m_pDescription->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_pDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pDescription->document()->setDocumentMargin(2);

    m_pName->setTextMargins(0, 0, 0, 0);

    m_options[0]->LoadBitmaps(154);
    m_options[1]->LoadBitmaps(156);
    m_options[2]->LoadBitmaps(155);
    FitTexts();

    UpdateControls();
}

void CAutoPage::SetMessageTarget(HWND target)
{
    ControlPage::SetMessageTarget(target);
    m_pDisc->SetMessageTarget(target);
    m_pBar->SetMessageTarget(target);
    m_pTriangle->SetMessageTarget(target);
}

void CAutoPage::SetDeviceKind(int kind)
{
    m_nDeviceKind = kind;
    if (m_pSelector)
        m_pSelector->hide();
    m_pSelector = kind >= 0 && kind < static_cast<int>(m_selectorTable.size())
        ? m_selectorTable[kind] : nullptr;
    UpdateControls();
}

void CAutoPage::SetCameraName(const QString& name)
{
    if (name == m_strCameraName)
        return;
    m_strCameraName = name;
    FitTexts();
    UpdateTexts();
}

void CAutoPage::HideSelectors()
{
    m_pTriangle->hide();
    m_pDisc->hide();
    m_pBar->hide();
}

void CAutoPage::ShowCurrentSelector()
{
    HideSelectors();
    if (m_pSelector)
        m_pSelector->show();
}

void CAutoPage::UpdateTexts()
{
    if (HasCamera())
    {
        m_pPicture->SetImage(kPositionPictures[m_nCameraMode]);
        m_pName->setText(LoadStringRes(IDS_POSITION_NAME_FIRST + m_nCameraMode));
        m_pDescription->setPlainText(LoadStringRes(IDS_POSITION_TEXT_FIRST + m_nCameraMode));
    }
    else
    {
        // The picture keeps the last position it showed.
        m_pName->setText(LoadStringRes(IDS_NOT_AVAILABLE));
        m_pDescription->setPlainText(LoadCameraText(IDS_IMPROPER_CONNECTION, m_strCameraName));
    }
}

void CAutoPage::FitTexts()
{
    // The boxes are sized in pixels for a compact dialog font: take the largest type at
    // which every name and every description fits, so that nothing is clipped or scrolled
    // on a wide desktop font and the size does not jump from one position to the next.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_pName) + 6;
    const int margin = 2 * (m_pDescription->frameWidth()
                            + static_cast<int>(m_pDescription->document()->documentMargin())) + 4;
    QFont nameFont = m_pName->font();
    QFont textFont = m_pDescription->font();
    int nameSize = 11;
    int textSize = 11;
    for (int position = 0; position <= 4; ++position)
    {
        const bool none = position == 4;
        const QString name = LoadStringRes(none ? IDS_NOT_AVAILABLE : IDS_POSITION_NAME_FIRST + position);
        const QString text = none ? LoadCameraText(IDS_IMPROPER_CONNECTION, m_strCameraName)
                                  : LoadStringRes(IDS_POSITION_TEXT_FIRST + position);
        nameSize = std::min(nameSize, FittingPixelSize(nameFont, name, QSize(72 - frame, 24 - frame), false));
        textSize = std::min(textSize, FittingPixelSize(textFont, text, QSize(112 - margin, 92 - margin), true));
    }
    nameFont.setPixelSize(nameSize);
    m_pName->setFont(nameFont);
    textFont.setPixelSize(textSize);
    m_pDescription->setFont(textFont);
}

void CAutoPage::UpdateControls()
{
    UpdateTexts();
    const CCameraSettings& settings = Settings();
    switch (HasCamera() ? m_nCameraMode : kNoCamera)
    {
    case kCameraRelease:
        HideSelectors();
        m_options[0]->LoadBitmaps(152, 178);
        SetOptionTips(kTipsRelease);
        break;
    case kCameraOhp:
        HideSelectors();
        m_options[0]->LoadBitmaps(157, 176);
        m_options[1]->LoadBitmaps(209, 208);
        SetOptionTips(kTipsOhp);
        break;
    case kCameraFront:
        UpdateFront(settings);
        break;
    case kCameraUpside:
        UpdateUpside(settings);
        break;
    default:
        HideSelectors();
        break;
    }
    ApplyRules(m_nDeviceKind);
    LayoutControls();
}

void CAutoPage::UpdateFront(const CCameraSettings& settings)
{
    ShowCurrentSelector();
    SetOptionTips(kTipsFront);
    m_options[0]->LoadBitmaps(152, 178, 0, 202);
    m_options[1]->LoadBitmaps(153, 192, 0, 199);
    if (m_pSelector)
    {
        m_pSelector->SetTracking(settings.m_bTracking);
        m_pSelector->SetDirection(settings.m_nFrontDirection);
    }
}

void CAutoPage::UpdateUpside(const CCameraSettings& settings)
{
    ShowCurrentSelector();
    SetOptionTips(kTipsUpside);

    // The options stand for the Upside framing: 1014 the direction presets (mode 1), 1015
    // the camera's view 3, 1016 its view 0. The one in force is drawn red.
    const bool tracking = settings.m_bTracking != 0;
    switch (settings.m_nUpMode)
    {
    case 0:
        m_options[0]->LoadBitmaps(154, 177, 0, 201);
        m_options[1]->LoadBitmaps(156, 185, 0, 203);
        m_options[2]->LoadBitmaps(182, 182, 0, 204);
        break;
    case 1:
        // While tracking runs the presets are not being taught: nothing is marked.
        m_options[0]->LoadBitmaps(tracking ? 154 : 177, 177, 0, 201);
        m_options[1]->LoadBitmaps(156, 185, 0, 203);
        m_options[2]->LoadBitmaps(155, 182, 0, 204);
        break;
    case 3:
        m_options[0]->LoadBitmaps(154, 177, 0, 201);
        m_options[1]->LoadBitmaps(185, 185, 0, 203);
        m_options[2]->LoadBitmaps(155, 182, 0, 204);
        break;
    default:
        // An unknown framing leaves the faces as they were.
        break;
    }
    if (m_pSelector)
    {
        m_pSelector->SetTracking(settings.m_bTracking);
        m_pSelector->SetDirection(settings.m_nUpDirection);
    }
}

void CAutoPage::LayoutControls()
{
    m_pPicture->setGeometry(kMargin, kMargin, 72, 72);
    m_pName->setGeometry(kMargin, 91, 72, 24);
    m_pDescription->setGeometry(95, kMargin, 112, 92);

    int h = 0;
    if (m_pSelector)
    {
        h = m_pSelector->GetRequiredHeight();
        m_pSelector->move(kMargin, 115);
        m_pSelector->Layout(192, h);
    }

    const bool selectorRow = m_nDeviceKind != 0
        && (m_nCameraMode == kCameraUpside || m_nCameraMode == kCameraFront);
    const int y0 = selectorRow ? 123 + h : 123;

    m_pad.Place(y0);
    for (int i = 0; i < 3; ++i)
        m_options[i]->setGeometry(kMargin, y0 + 80 + 40 * i, 72, 32);

    // The bottom of the last visible option button plus the margin.
    int height = y0 + 127;
    if (m_nCameraMode == kCameraOhp || m_nCameraMode == kCameraFront)
        height = y0 + 167;
    else if (m_nCameraMode == kCameraUpside)
        height = y0 + 207;
    SetPageSize(kWidth, height);
}
