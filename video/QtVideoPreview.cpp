#include "video/QtVideoPreview.h"

#include <QTimer>
#include <QVideoSink>
#include <QVideoWidget>
#include <QWidget>

#include <chrono>

namespace {

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

QtVideoPreview::QtVideoPreview(QWidget* picture) : m_timer(std::make_unique<QTimer>())
{
    m_videoWidget = new QVideoWidget(picture);
    m_videoWidget->setGeometry(picture->rect());
    m_videoWidget->setAspectRatioMode(Qt::KeepAspectRatio);
    // Frames may be announced from the pipeline's thread; the widget's context brings them
    // to this one.
    QObject::connect(m_videoWidget->videoSink(), &QVideoSink::videoFrameChanged, m_videoWidget.data(),
                     [this] { m_watchdog.Frame(NowMs()); });
    m_timer->setInterval(250);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { Check(); });
}

QtVideoPreview::~QtVideoPreview()
{
    // The subclass has stopped its source by now.
    m_timer->stop();
    delete m_videoWidget.data();
}

void QtVideoPreview::Begin()
{
    m_videoWidget->show();
    m_videoWidget->raise();
    m_running = true;
    m_watchdog.Start(NowMs());
    m_timer->start();
    if (!StartSource(m_videoWidget.data()))
        Fail();
}

void QtVideoPreview::Check()
{
    switch (m_watchdog.Check(NowMs())) {
    case FrameWatchdog::Action::None: break;
    case FrameWatchdog::Action::Restart:
        StopSource();
        m_watchdog.Start(NowMs());
        if (!StartSource(m_videoWidget.data()))
            Fail();
        break;
    case FrameWatchdog::Action::GiveUp: Fail(); break;
    }
}

void QtVideoPreview::Fail()
{
    Stop();
}

void QtVideoPreview::Stop()
{
    m_timer->stop();
    if (m_running) {
        m_running = false;
        StopSource();
    }
    if (m_videoWidget)
        m_videoWidget->hide();
}

bool QtVideoPreview::Running() const
{
    return m_running;
}
