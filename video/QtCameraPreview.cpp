#include "video/QtCameraPreview.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QVideoWidget>
#include <QWidget>

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
    : m_session(std::make_unique<QMediaCaptureSession>()), m_camera(std::make_unique<QCamera>(device))
{
    m_videoWidget = new QVideoWidget(picture);
    m_videoWidget->setGeometry(picture->rect());
    m_videoWidget->setAspectRatioMode(Qt::KeepAspectRatio);
    m_session->setCamera(m_camera.get());
    m_session->setVideoOutput(m_videoWidget.data());

    // A camera that is busy or goes away leaves the NO VIDEO picture, without a message.
    QObject::connect(m_camera.get(), &QCamera::errorOccurred, m_videoWidget.data(), [this] {
        if (m_videoWidget)
            m_videoWidget->hide();
    });
    m_videoWidget->show();
    m_videoWidget->raise();
    m_camera->start();
}

QtCameraPreview::~QtCameraPreview()
{
    Stop();
    if (m_session)
        m_session->setVideoOutput(nullptr);
    m_session.reset();
    m_camera.reset();
    delete m_videoWidget.data();
}

void QtCameraPreview::Stop()
{
    if (m_camera)
        m_camera->stop();
    if (m_videoWidget)
        m_videoWidget->hide();
}
