// The controller: a tray program that drives the QVT-VZ1 camera.
#include "app/ControllerApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    CControllerApp app;
    return app.Run();
}
