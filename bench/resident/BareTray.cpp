// The yardstick for the controller's start-up and memory: a bare Qt Widgets program with a
// tray icon and the multimedia device list, doing nothing else. Prints "tray balloon: ..."
// on standard error when it shows its first balloon, as the controller does with
// QT_LOGGING_RULES="qvt.shell.debug=true".
#include <QApplication>
#include <QCameraDevice>
#include <QMediaDevices>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setToolTip(QStringLiteral("bare"));
    tray.show();
    const auto cameras = QMediaDevices::videoInputs();
    tray.showMessage(QStringLiteral("bare"), QStringLiteral("%1 cameras").arg(cameras.size()));
    std::fprintf(stderr, "tray balloon: %d cameras\n", int(cameras.size()));
    return app.exec();
}
