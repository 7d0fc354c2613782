#pragma once
// The live picture through Qt Multimedia: a camera, a capture session and a video widget
// laid over the picture control.
#include "video/VideoPreview.h"

#include <QCameraDevice>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QCamera;
class QMediaCaptureSession;
class QVideoWidget;
class QWidget;

class QtCameraPreview final : public VideoPreview
{
public:
    // Starts the camera and shows its picture over picture; the widget hides itself again
    // when the camera fails, so that the picture control's own image shows through.
    QtCameraPreview(const QCameraDevice& device, QWidget* picture);
    ~QtCameraPreview() override;

    void Stop() override;

private:
    std::unique_ptr<QMediaCaptureSession> m_session;
    std::unique_ptr<QCamera> m_camera;
    QPointer<QVideoWidget> m_videoWidget;
};

// The Qt camera for a device named description: the occurrence-th (from 0) of the inputs
// that carry that description. Qt's identifiers of V4L2 devices are not stable enough to
// find a node by, but the description is the driver's name of the device.
std::optional<QCameraDevice> FindQtCamera(const QList<QCameraDevice>& inputs, const QString& description,
                                          int occurrence);
