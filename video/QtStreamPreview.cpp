#include "video/QtStreamPreview.h"

#include <QMediaPlayer>
#include <QVideoWidget>

QtStreamPreview::QtStreamPreview(const QUrl& url, QWidget* picture) : QtVideoPreview(picture), m_url(url)
{
    Begin();
}

QtStreamPreview::~QtStreamPreview()
{
    Stop();
}

bool QtStreamPreview::StartSource(QVideoWidget* output)
{
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setVideoOutput(output);
    // A stream that cannot be reached or played leaves NO VIDEO, as a camera does; one that
    // ends or stalls is caught by the frame watch.
    QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, output, [this] { Fail(); }, Qt::QueuedConnection);
    m_player->setSource(m_url);
    m_player->play();
    return true;
}

void QtStreamPreview::StopSource()
{
    if (m_player) {
        m_player->stop();
        m_player->setVideoOutput(nullptr);
    }
    m_player.reset();
}
