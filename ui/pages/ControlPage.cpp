#include "ui/pages/ControlPage.h"

#include "controller/ControlRules.h"
#include "res/CameraStrings.h"
#include "res/Strings.h"
#include "settings/CameraSettings.h"
#include "ui/controls/BitmapButton.h"
#include "ui/controls/HoldButton.h"
#include "ui/pages/PageIds.h"
#include "ui/pages/ViewButtonOperations.h"

ControlPage::ControlPage(int dialogId, QWidget* parent)
    : QWidget(parent), m_pad(this), m_nPage(dialogId == IDD_AUTO_PAGE ? 0 : 1)
{
    setObjectName(QStringLiteral("page%1").arg(dialogId));
    for (int i = 0; i < 3; ++i)
    {
        auto* button = new CBitmapButton(IDC_VIEW_BUTTON1 + i, this);
        connect(button, &QAbstractButton::clicked, this, [this, i] { OnOption(i); });
        m_options[i] = button;
    }
}

void ControlPage::SetCameraMode(int position)
{
    m_nCameraMode = position;
    UpdateControls();
}

void ControlPage::SetAxes(bool panTilt, bool zoom)
{
    if (panTilt == m_bPanTilt && zoom == m_bZoom)
        return;
    m_bPanTilt = panTilt;
    m_bZoom = zoom;
    m_pad.SetMissingTips(panTilt ? QString() : LoadStringRes(kStrNoPanTilt), zoom ? QString() : LoadStringRes(kStrNoZoom));
    UpdateControls();
}

void ControlPage::SetMessageTarget(HWND target)
{
    m_pad.SetMessageTarget(target);
}

CBitmapButton* ControlPage::OptionButton(int id) const
{
    const int index = id - IDC_VIEW_BUTTON1;
    return index >= 0 && index < 3 ? m_options[index] : nullptr;
}

const CCameraSettings& ControlPage::Settings() const
{
    static const CCameraSettings kNewRecord;
    return m_pSettings ? *m_pSettings : kNewRecord;
}

bool ControlPage::HasCamera() const
{
    // A position outside 0..3 (a garbled report) is shown as no camera rather than
    // indexing the pictures and texts with it.
    return m_nCameraMode >= kCameraRelease && m_nCameraMode <= kCameraFront;
}

void ControlPage::SetPageSize(int cx, int cy)
{
    m_pageSize = QSize(cx, cy);
    resize(cx, cy);
}

void ControlPage::ApplyRules(int deviceKind)
{
    const ControlState state = MakeControlState(m_nPage, m_nCameraMode, deviceKind, Settings(), m_bPanTilt, m_bZoom);
    for (int i = 0; i < 3; ++i)
    {
        m_options[i]->setVisible(rules::ViewButtonShown(state, i + 1));
        m_options[i]->setEnabled(rules::ViewButtonEnabled(state, i + 1));
    }
    m_pad.EnablePad(rules::PadEnabled(state));
    m_pad.EnableZoom(rules::ZoomEnabled(state));
}

void ControlPage::SetOptionTips(OptionTipSet set)
{
    for (UINT i = 0; i < m_options.size(); ++i)
        m_options[i]->setToolTip(LoadStringRes(IDS_TIP_OPTIONS + 3 * set + i));
}

void ControlPage::OnOption(int index)
{
    ViewButtonOperations* operations = m_pOperations;
    for (QWidget* w = parentWidget(); !operations && w; w = w->parentWidget())
        operations = dynamic_cast<ViewButtonOperations*>(w);
    if (!operations)
        return;
    switch (index)
    {
    case 0: operations->OnViewButton1(); break;
    case 1: operations->OnViewButton2(); break;
    default: operations->OnViewButton3(); break;
    }
}
