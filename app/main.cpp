// The controller: a tray program that drives the QVT-VZ1 camera. With a verb on the command
// line it is a client that tells the running controller what to do.
#include "app/ControllerApp.h"
#include "app/remote/RemoteClient.h"
#include "video/VideoPlugins.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (remote::HasVerb(args)) {
        // No display needed: scripts and hotkeys run it anywhere in the session.
        QCoreApplication client(argc, argv);
        return remote::RunVerb(QCoreApplication::arguments());
    }
    QApplication qapp(argc, argv);
    // Before the first camera list: the virtual camera's picture comes through our plugin.
    UseVideoPlugins(BundledVideoPluginDir(QCoreApplication::applicationDirPath().toStdString()));
    CControllerApp app;
    return app.Run();
}
