#pragma once
// The video window: the camera's live picture and its video quality. A small modeless
// tool window owned by the controller dialog, which opens it with Create, closes it with
// DestroyWindow and deletes it (see VideoWindowToggle.h).
#include "platform/WinTypes.h"
#include "video/VideoCapture.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QSlider;
class VideoPicture;

// Controls of dialog 206.
constexpr int IDC_VIDEO_PICTURE = 1035;
constexpr int IDC_VIDEO_QUALITY_SLIDER = 1038;
constexpr int IDC_VIDEO_QUALITY_LABEL = 1039;
constexpr int IDC_VIDEO_QUALITY_BOX = 1042;

class CVideoDlg final : public QDialog
{
public:
    static constexpr unsigned IDD = 206;

    // pParent is the controller dialog, which receives the close box's command. Without
    // capture services the system's own are used.
    explicit CVideoDlg(QWidget* pParent, std::unique_ptr<VideoCapture> capture = nullptr);
    ~CVideoDlg() override;

    // Lays out the window, starts the preview and shows the window in front.
    BOOL Create();
    // Commits a changed quality to the camera, stops the preview and closes the window.
    BOOL DestroyWindow();

    BOOL BuildPreviewGraph();
    void ReleasePreviewGraph();

    int GetInitialQuality() const { return m_nInitialQuality; }

protected:
    BOOL OnInitDialog();
    // The close box (and Escape) ask the owner to close the window, as the menu item does.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void OnHScroll(int value);
    void ShowQuality(int value);
    void ShowNoQuality();
    void RequestClose();

    VideoPicture* m_picture;
    std::unique_ptr<VideoCapture> m_capture;
    std::unique_ptr<VideoPreview> m_pPreview;  // the running picture; null when none
    std::unique_ptr<VideoQualityControl> m_pCompression;
    int m_nInitialQuality = -1;
    QLabel* m_stQuality;
    QSlider* m_sliderQuality;
    QLineEdit* m_editQuality;
    bool m_bWindowOpen = false;
};
