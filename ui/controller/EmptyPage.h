#pragma once
// A tab page with nothing on it, holding the place of a page whose controls are not built
// into this program. It answers the calls the controller makes on a page.
#include <QSize>
#include <QWidget>

class CCameraSettings;

class CEmptyPage : public QWidget
{
public:
    explicit CEmptyPage(const QString& title, QWidget* parent = nullptr) : QWidget(parent)
    {
        setWindowTitle(title);
        resize(kSize);
    }

    void SetSettings(CCameraSettings* settings) { m_pSettings = settings; }
    void SetCameraMode(int mode) { m_nCameraMode = mode; UpdateControls(); }
    void SetDeviceKind(int kind) { m_nDeviceKind = kind; UpdateControls(); }
    void UpdateControls() { resize(kSize); }
    // No direction selector here, so no factory presets to write.
    void LoadDefaultPresets(CCameraSettings*, int, int, int) {}
    QSize GetPageSize() const { return size(); }

    CCameraSettings* m_pSettings = nullptr;
    int m_nCameraMode = 255;
    int m_nDeviceKind = 0;

private:
    static constexpr QSize kSize{222, 222};
};
