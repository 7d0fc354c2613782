#include "app/SystemTrayIcon.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

namespace {
constexpr WPARAM kTrayIconId = 1;
constexpr int kBalloonWaitStepMs = 25;
constexpr int kBalloonWaitSteps = 16;  // at most 0.4 s
} // namespace

CSystemTrayIcon::CSystemTrayIcon()
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &CSystemTrayIcon::OnActivated);
    m_balloonTimer.setInterval(kBalloonWaitStepMs);
    connect(&m_balloonTimer, &QTimer::timeout, this, &CSystemTrayIcon::ShowPendingBalloon);
}

bool CSystemTrayIcon::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CSystemTrayIcon::Modify(const TrayIconData& data)
{
    if (!m_icon.isVisible())
        return false;
    if (!m_balloonTimer.isActive())
        m_nBalloonWaits = kBalloonWaitSteps;  // placed long ago: show at once
    Apply(data);
    return true;
}

bool CSystemTrayIcon::Add(const TrayIconData& data)
{
    m_icon.setIcon(data.icon);
    m_icon.setToolTip(data.tip);
    m_icon.show();
    if (!m_icon.isVisible())
        return false;
    m_nBalloonWaits = 0;  // a new icon: its balloon may wait for the tray to place it
    Apply(data);
    return true;
}

bool CSystemTrayIcon::Delete()
{
    if (!m_icon.isVisible())
        return false;
    m_balloonTimer.stop();
    m_icon.hide();
    return true;
}

bool CSystemTrayIcon::IsShown() const
{
    return m_icon.isVisible();
}

void CSystemTrayIcon::SetContextMenu(QMenu* menu)
{
    // Qt opens it on a right click in the way of each desktop (XEmbed or the notifier
    // service), so a right click is not passed on as a mouse message as well.
    m_icon.setContextMenu(menu);
}

void CSystemTrayIcon::SetNotifyTarget(HWND target)
{
    m_target = target;
}

void CSystemTrayIcon::Apply(const TrayIconData& data)
{
    if (m_icon.icon().cacheKey() != data.icon.cacheKey())
        m_icon.setIcon(data.icon);
    m_icon.setToolTip(data.tip);
    if (data.info.isEmpty())
        return;
    m_pending = data;
    ShowPendingBalloon();
}

void CSystemTrayIcon::ShowPendingBalloon()
{
    // Until the tray has embedded it, the icon has no size or sits at the screen's origin.
    const QRect where = m_icon.geometry();
    const bool placed = !where.isEmpty() && where.topLeft() != QPoint(0, 0);
    if (!placed && m_nBalloonWaits++ < kBalloonWaitSteps) {
        if (!m_balloonTimer.isActive())
            m_balloonTimer.start();
        return;
    }
    m_balloonTimer.stop();
    if (m_icon.isVisible())
        m_icon.showMessage(m_pending.infoTitle, m_pending.info, QSystemTrayIcon::Information,
                           m_pending.infoTimeoutMs);
}

void CSystemTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Only clicks become mouse messages; the right click opens the context menu above.
    if (reason == QSystemTrayIcon::DoubleClick)
        PostMessage(m_target, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    else if (reason == QSystemTrayIcon::Trigger)
        PostMessage(m_target, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN);
}
