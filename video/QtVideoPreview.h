#pragma once
// The live picture through Qt Multimedia: a video widget laid over the picture control,
// fed by a source (a camera or a network stream) that a subclass makes. The widget is shown
// and given to the source before the source starts: Qt 6.4's GStreamer pipeline can stall
// for good when its output changes while it streams. The frames are watched
// (FrameWatchdog): a source that shows none for a while is restarted once, then given up,
// as is one that reports an error; the widget then hides and NO VIDEO shows through.
#include "video/FrameWatchdog.h"
#include "video/VideoPreview.h"

#include <QPointer>

#include <memory>

class QTimer;
class QVideoWidget;
class QWidget;

class QtVideoPreview : public VideoPreview
{
public:
    ~QtVideoPreview() override;
    void Stop() override;

    // False once the source was given up (or stopped).
    bool Running() const;

protected:
    explicit QtVideoPreview(QWidget* picture);
    // Shows the widget and starts the source; subclasses call it at the end of their
    // constructor.
    void Begin();
    // Gives the source up; safe to call again. Call it queued from a source's signal, as
    // it deletes the source.
    void Fail();

    // Makes the source, sets output as its output, then starts it; false when the source
    // is gone (then the preview is given up).
    virtual bool StartSource(QVideoWidget* output) = 0;
    // Stops and deletes the source, releasing the output first.
    virtual void StopSource() = 0;

private:
    void Check();

    QPointer<QVideoWidget> m_videoWidget;
    std::unique_ptr<QTimer> m_timer;
    FrameWatchdog m_watchdog;
    bool m_running = false;
};
