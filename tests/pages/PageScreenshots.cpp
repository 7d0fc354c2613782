// Renders the Auto page in every camera position and with every selector, and the Manual
// page in each framing, to PNG files for looking at: page-screenshots <folder>.
#include "settings/CameraSettings.h"
#include "ui/pages/AutoPage.h"
#include "ui/pages/ManualPage.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>

#include <cstdio>

namespace {
bool Save(QWidget& page, const QString& folder, const QString& name)
{
    // Hosted as the controller hosts it, in a tab control sized around the page.
    QTabWidget tabs;
    tabs.addTab(&page, name.startsWith(QLatin1String("manual")) ? QStringLiteral("Manual")
                                                                 : QStringLiteral("Auto"));
    tabs.resize(page.size() + QSize(4, tabs.tabBar()->sizeHint().height() + 4));
    tabs.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    const bool ok = tabs.grab().save(path);
    tabs.removeTab(0);
    page.setParent(nullptr);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = true;

    CCameraSettings settings;
    const char* positionNames[4] = {"release", "upside", "ohp", "front"};
    const char* kindNames[4] = {"none", "disc", "bar", "triangle"};

    {
        CAutoPage page;
        page.m_pSettings = &settings;
        page.SetCameraMode(255);
        ok &= Save(page, folder, QStringLiteral("auto-nocamera"));
    }
    for (int position : {0, 2})
    {
        CAutoPage page;
        page.m_pSettings = &settings;
        page.SetCameraMode(position);
        ok &= Save(page, folder, QStringLiteral("auto-%1").arg(QLatin1String(positionNames[position])));
    }
    for (int position : {1, 3})
    {
        for (int kind = 0; kind <= 3; ++kind)
        {
            settings.m_nUpMode = 1;
            settings.m_bTracking = 0;
            settings.m_nUpDirection = 2;
            settings.m_nFrontDirection = 6;
            CAutoPage page;
            page.m_pSettings = &settings;
            page.SetDeviceKind(kind);
            page.SetCameraMode(position);
            ok &= Save(page, folder, QStringLiteral("auto-%1-%2")
                                         .arg(QLatin1String(positionNames[position]),
                                              QLatin1String(kindNames[kind])));
        }
    }
    {
        settings.m_bTracking = 1;
        CAutoPage page;
        page.m_pSettings = &settings;
        page.SetDeviceKind(1);
        page.SetCameraMode(1);
        ok &= Save(page, folder, QStringLiteral("auto-upside-disc-tracking"));
        settings.m_bTracking = 0;
    }
    for (int upMode : {0, 3})
    {
        settings.m_nUpMode = upMode;
        CAutoPage page;
        page.m_pSettings = &settings;
        page.SetDeviceKind(2);
        page.SetCameraMode(1);
        ok &= Save(page, folder, QStringLiteral("auto-upside-bar-mode%1").arg(upMode));
    }

    {
        CManualPage page;
        page.m_pSettings = &settings;
        page.SetCameraMode(255);
        ok &= Save(page, folder, QStringLiteral("manual-nocamera"));
    }
    for (int userMode : {2, 3, 0})
    {
        settings.m_nUserMode = userMode;
        CManualPage page;
        page.m_pSettings = &settings;
        page.SetCameraMode(1);
        ok &= Save(page, folder, QStringLiteral("manual-mode%1").arg(userMode));
    }
    return ok ? 0 : 1;
}
