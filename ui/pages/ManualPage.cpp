#include "ui/pages/ManualPage.h"

#include "settings/CameraSettings.h"
#include "ui/controls/BitmapButton.h"
#include "ui/pages/PageIds.h"

namespace {
constexpr int kPageSize = 222;
}

CManualPage::CManualPage(QWidget* parent) : ControlPage(IDD_MANUAL_PAGE, parent)
{
    m_options[0]->LoadBitmaps(153, 192, 0, 199);
    m_options[1]->LoadBitmaps(156, 185, 0, 203);
    m_options[2]->LoadBitmaps(155, 182, 0, 204);
    SetOptionTips(kTipsManual);
    UpdateControls();
}

void CManualPage::UpdateControls()
{
    if (HasCamera())
    {
        // The framing in force shows its red face as its normal face.
        const int mode = Settings().m_nUserMode;
        m_options[0]->LoadBitmaps(mode == 2 ? 192 : 153, 192, 0, 199);
        m_options[1]->LoadBitmaps(mode == 3 ? 185 : 156, 185, 0, 203);
        m_options[2]->LoadBitmaps(mode != 2 && mode != 3 ? 182 : 155, 182, 0, 204);
    }
    ApplyRules(0);
    LayoutControls();
}

void CManualPage::LayoutControls()
{
    m_pad.Place(15);
    for (int i = 0; i < 3; ++i)
        m_options[i]->setGeometry(15, 95 + 40 * i, 72, 32);
    SetPageSize(kPageSize, kPageSize);
}
