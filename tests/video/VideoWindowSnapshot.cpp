// Renders the video window to PNG files for a look at it: without a camera, and with a
// camera that offers a quality (its picture itself needs a real device).
//   video_window_snapshot <folder> [scale]
#include "tests/video/FakeVideoCapture.h"
#include "video/VideoDlg.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [scale]\n", argv[0]);
        return 2;
    }
    if (argc > 2)
        ::setenv("QT_SCALE_FACTOR", argv[2], 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    auto log = std::make_shared<FakeCaptureLog>();
    auto render = [&](std::vector<VideoDeviceInfo> devices, const char* file) {
        auto capture = std::make_unique<FakeVideoCapture>(std::move(devices), log);
        capture->quality = 0.755;
        CVideoDlg dlg(nullptr, std::move(capture));
        dlg.Create();
        const QString path = folder + QLatin1Char('/') + QLatin1String(file);
        if (!dlg.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    };
    const bool ok = render({}, "video-window-no-camera.png") && render({CameraByPath()}, "video-window-camera.png");
    return ok ? 0 : 1;
}
