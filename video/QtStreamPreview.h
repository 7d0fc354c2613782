#pragma once
// The live picture of a network camera's stream (rtsp://, http://, udp://) played by Qt
// Multimedia's media player, without sound.
#include "video/QtVideoPreview.h"

#include <QUrl>

class QMediaPlayer;

class QtStreamPreview final : public QtVideoPreview
{
public:
    QtStreamPreview(const QUrl& url, QWidget* picture);
    ~QtStreamPreview() override;

private:
    bool StartSource(QVideoWidget* output) override;
    void StopSource() override;

    QUrl m_url;
    std::unique_ptr<QMediaPlayer> m_player;
};
