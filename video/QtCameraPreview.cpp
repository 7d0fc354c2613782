#include "video/QtCameraPreview.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoWidget>

std::optional<QCameraDevice> FindQtCamera(const QList<QCameraDevice>& inputs, const QString& description,
                                          int occurrence)
{
    int seen = 0;
    for (const QCameraDevice& input : inputs) {
        if (input.description() != description)
            continue;
        if (seen == occurrence)
            return input;
        ++seen;
    }
    return std::nullopt;
}

QtCameraPreview::QtCameraPreview(const QCameraDevice& device, QWidget* picture)
    : QtVideoPreview(picture), m_device(device)
{
    Begin();
}

QtCameraPreview::~QtCameraPreview()
{
    Stop();
}

bool QtCameraPreview::StartSource(QVideoWidget* output)
{
    // Qt 6.4 makes the camera's element from its device without checking that the device
    // is still there: a camera unplugged since it was listed would crash it.
    if (!QMediaDevices::videoInputs().contains(m_device))
        return false;
    // A new camera each time: a restart begins from a pipeline that never stalled.
    m_session = std::make_unique<QMediaCaptureSession>();
    m_session->setVideoOutput(output);
    m_camera = std::make_unique<QCamera>(m_device);
    // A camera that is busy or goes away leaves the NO VIDEO picture, without a message.
    QObject::connect(m_camera.get(), &QCamera::errorOccurred, output, [this] { Fail(); }, Qt::QueuedConnection);
    m_session->setCamera(m_camera.get());
    m_camera->start();
    return true;
}

void QtCameraPreview::StopSource()
{
    if (m_camera)
        m_camera->stop();
    if (m_session)
        m_session->setVideoOutput(nullptr);
    m_session.reset();
    m_camera.reset();
}
