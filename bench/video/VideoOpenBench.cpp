// Open to first frame: opens the video window on the camera in use (the product's
// MakeVideoCapture, so the virtual camera while a simulator runs) ROUNDS times and prints
// the time from opening to the first frame shown, in milliseconds.
#include "camera/CameraConnection.h"
#include "video/VideoDlg.h"
#include "video/VideoPlugins.h"
#include "video/VideoSourceChoice.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <QVideoSink>
#include <QVideoWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    UseVideoPlugins(BundledVideoPluginDir(QCoreApplication::applicationDirPath().toStdString() + "/.."));
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        CVideoDlg dlg(nullptr, MakeVideoCapture(CameraConnection{}));
        dlg.Create();
        auto* widget = dlg.findChild<QVideoWidget*>();
        if (!widget) {
            std::puts("no camera listed: start qvt-vz1-sim first");
            return 1;
        }
        bool shown = false;
        QObject::connect(widget->videoSink(), &QVideoSink::videoFrameChanged, widget, [&] { shown = true; });
        QDeadlineTimer deadline(10000);
        while (!shown && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!shown) {
            std::puts("no frame within 10 s");
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        dlg.DestroyWindow();
    }
    std::sort(times.begin(), times.end());
    std::printf("open to first frame: median %.0f ms, worst %.0f ms over %d openings (goal: under 1000 ms)\n",
                times[times.size() / 2], times.back(), rounds);
    return 0;
}
