#pragma once
// What the Auto and Manual pages share: the settings they show, the camera position, the
// ten hold buttons, the three option buttons that run the controller's view operations,
// and the page size the controller sizes itself around.
#include "platform/WinTypes.h"
#include "res/TextIds.h"
#include "ui/pages/PadButtons.h"

#include <QSize>
#include <QWidget>

#include <array>

class CBitmapButton;
class CCameraSettings;
class CHoldButton;
class ViewButtonOperations;

class ControlPage : public QWidget
{
public:
    // The record the page shows; set by the controller before it updates the page.
    // The page only reads it; without one the page shows a new record's values.
    const CCameraSettings* m_pSettings = nullptr;

    // Stores the camera position (0..3, 255 = no camera) and updates the page.
    void SetCameraMode(int position);
    int GetCameraMode() const { return m_nCameraMode; }
    // The axes the camera has: the pads of a missing one are grey and say why.
    void SetAxes(bool panTilt, bool zoom);
    virtual void UpdateControls() = 0;
    // The size computed by the last layout.
    QSize GetPageSize() const { return m_pageSize; }

    // Where the hold buttons post; null (the default) means the application's main window.
    virtual void SetMessageTarget(HWND target);
    // Who runs the option buttons. Without one the page looks for the nearest window above
    // it that offers the operations (the controller dialog hosting the tab control).
    void SetViewButtonOperations(ViewButtonOperations* operations) { m_pOperations = operations; }

    CHoldButton* HoldButton(int id) const { return m_pad.Button(id); }
    // The option button 1014, 1015 or 1016; null for any other id.
    CBitmapButton* OptionButton(int id) const;

protected:
    ControlPage(int dialogId, QWidget* parent);

    // The record to read: the controller's, or a new record's values until it is set.
    const CCameraSettings& Settings() const;
    // True for a position the camera reports on its stand or in the hand (0..3).
    bool HasCamera() const;
    void SetPageSize(int cx, int cy);
    // Which option buttons show, and which of them, the pad and the zoom pair may be used,
    // by the controller's rules for this page, its camera position, settings and deviceKind.
    void ApplyRules(int deviceKind);
    // Tooltips of the three option buttons for what they stand for now; a button without a
    // meaning there gets none.
    void SetOptionTips(OptionTipSet set);

    PadButtons m_pad;
    std::array<CBitmapButton*, 3> m_options{};
    int m_nCameraMode = 255;
    bool m_bPanTilt = true;
    bool m_bZoom = true;

private:
    void OnOption(int index);

    int m_nPage;  // 0 Auto, 1 Manual
    QSize m_pageSize;
    ViewButtonOperations* m_pOperations = nullptr;
};
