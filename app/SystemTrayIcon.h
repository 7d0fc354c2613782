#pragma once
// The tray icon on the desktop: a QSystemTrayIcon. Qt draws the balloon itself where the
// desktop has no notification service, so balloons show on every desktop with a tray.
//
// Qt decides once per process whether it talks to a StatusNotifierItem host, when the first
// tray icon is made. So the QSystemTrayIcon is made only when a tray is there; until then
// this class looks for one at an interval, so that a panel that starts after the program
// (autostart at login) still gets the icon.
#include "app/TrayHost.h"
#include "app/TrayIcon.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

// The mouse message a tray activation stands for; 0 for none. A StatusNotifierItem host
// sends one "Activate" for a left click, the gesture that opens the program there, so it
// counts as the double click of an XEmbed tray.
UINT TrayMouseMessage(QSystemTrayIcon::ActivationReason reason, TrayHost host);

class CSystemTrayIcon final : public QObject, public ITrayIcon
{
public:
    using HostProbe = std::function<TrayHost()>;
    // probe: which usable tray the desktop offers now; watchMs: how often to ask while none.
    explicit CSystemTrayIcon(HostProbe probe = {}, int watchMs = 2000);
    ~CSystemTrayIcon() override;

    bool IsAvailable() const override;
    bool Modify(const TrayIconData& data) override;
    bool Add(const TrayIconData& data) override;
    bool Delete() override;
    bool IsShown() const override;
    void SetContextMenu(QMenu* menu) override;
    void SetNotifyTarget(HWND target) override;

    // The icon Qt shows; null until a tray has been found.
    QSystemTrayIcon* Icon() const { return m_pIcon.get(); }

private:
    bool TryCreateIcon();
    void WatchForTray();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void Apply(const TrayIconData& data);
    void ShowPendingBalloon();

    HostProbe m_probe;
    TrayHost m_host = TrayHost::None;
    std::unique_ptr<QSystemTrayIcon> m_pIcon;
    QMenu* m_pMenu = nullptr;
    QTimer m_watchTimer;
    // A balloon waits briefly for a newly shown icon to take its place in the tray, since
    // Qt places the balloon it draws itself by the icon's position.
    TrayIconData m_pending;
    QTimer m_balloonTimer;
    int m_nBalloonWaits = 0;
    HWND m_target = nullptr;
};
