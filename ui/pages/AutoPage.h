#pragma once
// The "Auto" tab: which position the camera reports, with a picture, its name and a short
// description, and what makes sense there. In Upside and Front the direction selector of
// the connected speakerphone switches tracking and picks the direction whose preset the
// pad and zoom pair adjust; up to three option buttons change meaning with the position.
// The page shows state and forwards clicks; the controller changes the settings and then
// calls UpdateControls.
#include "ui/pages/ControlPage.h"

#include <array>

class ArtPicture;
class CBarDirectionSelector;
class CDirectionSelector;
class CDiscDirectionSelector;
class CTriangleDirectionSelector;
class QLineEdit;
class QPlainTextEdit;

class CAutoPage : public ControlPage
{
public:
    explicit CAutoPage(QWidget* parent = nullptr);

    // The tracking source kind 0..5: makes the selector of its speakerphone current (none
    // for kind 0 and unknown kinds) and updates the page.
    void SetDeviceKind(int kind);
    int GetDeviceKind() const { return m_nDeviceKind; }
    void UpdateControls() override;
    // The camera in use as the note on a missing camera names it (CameraConnection::Name();
    // empty for the QVT-VZ1, whose own note stays).
    void SetCameraName(const QString& name);

    void SetMessageTarget(HWND target) override;

    CDirectionSelector* GetCurrentSelector() const { return m_pSelector; }
    CDiscDirectionSelector* DiscSelector() const { return m_pDisc; }
    CBarDirectionSelector* BarSelector() const { return m_pBar; }
    CTriangleDirectionSelector* TriangleSelector() const { return m_pTriangle; }
    ArtPicture* Picture() const { return m_pPicture; }
    QLineEdit* NameEdit() const { return m_pName; }
    QPlainTextEdit* DescriptionEdit() const { return m_pDescription; }

private:
    void UpdateTexts();
    void FitTexts();
    void UpdateUpside(const CCameraSettings& settings);
    void UpdateFront(const CCameraSettings& settings);
    void ShowCurrentSelector();
    void HideSelectors();
    void LayoutControls();

    int m_nDeviceKind = 0;
    QString m_strCameraName;
    CDirectionSelector* m_pSelector = nullptr;
    std::array<CDirectionSelector*, 7> m_selectorTable{};
    CTriangleDirectionSelector* m_pTriangle;
    CDiscDirectionSelector* m_pDisc;
    CBarDirectionSelector* m_pBar;
    ArtPicture* m_pPicture;
    QLineEdit* m_pName;
    QPlainTextEdit* m_pDescription;
};
