#pragma once
// The live picture of a camera that Qt Multimedia lists (a V4L2 node, or the virtual
// camera through its GStreamer plugin).
#include "video/QtVideoPreview.h"

#include <QCameraDevice>
#include <QList>
#include <QString>

#include <optional>

class QCamera;
class QMediaCaptureSession;

class QtCameraPreview final : public QtVideoPreview
{
public:
    QtCameraPreview(const QCameraDevice& device, QWidget* picture);
    ~QtCameraPreview() override;

private:
    bool StartSource(QVideoWidget* output) override;
    void StopSource() override;

    QCameraDevice m_device;
    std::unique_ptr<QMediaCaptureSession> m_session;
    std::unique_ptr<QCamera> m_camera;
};

// The Qt camera for a device named description: the occurrence-th (from 0) of the inputs
// that carry that description. Qt's identifiers of V4L2 devices are not stable enough to
// find a node by, but the description is the driver's name of the device.
std::optional<QCameraDevice> FindQtCamera(const QList<QCameraDevice>& inputs, const QString& description,
                                          int occurrence);
