#pragma once
// The tray icon on the desktop: a QSystemTrayIcon. Qt draws the balloon itself where the
// desktop has no notification service, so balloons show on every desktop with a tray.
#include "app/TrayIcon.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class CSystemTrayIcon final : public QObject, public ITrayIcon
{
public:
    CSystemTrayIcon();

    bool IsAvailable() const override;
    bool Modify(const TrayIconData& data) override;
    bool Add(const TrayIconData& data) override;
    bool Delete() override;
    bool IsShown() const override;
    void SetContextMenu(QMenu* menu) override;
    void SetNotifyTarget(HWND target) override;

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void Apply(const TrayIconData& data);
    void ShowPendingBalloon();

    QSystemTrayIcon m_icon;
    // A balloon waits briefly for a newly shown icon to take its place in the tray, since
    // Qt places the balloon it draws itself by the icon's position.
    TrayIconData m_pending;
    QTimer m_balloonTimer;
    int m_nBalloonWaits = 0;
    HWND m_target = nullptr;
};
