#include "app/SystemTrayIcon.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

namespace {
constexpr int kBalloonWaitStepMs = 25;
constexpr int kBalloonWaitSteps = 16;  // at most 0.4 s

// A host Qt can use too: on a platform without tray support (offscreen) there is none.
TrayHost UsableTrayHost()
{
    const TrayHost host = CurrentTrayHost();
    // Asked only once a host is there: Qt keeps its first answer for good.
    return host != TrayHost::None && QSystemTrayIcon::isSystemTrayAvailable() ? host : TrayHost::None;
}
} // namespace

UINT TrayMouseMessage(QSystemTrayIcon::ActivationReason reason, TrayHost host)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Trigger:
        return host == TrayHost::StatusNotifier ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    default:
        // The right click opens the context menu in Qt's own way; the middle click means nothing.
        return 0;
    }
}

CSystemTrayIcon::CSystemTrayIcon(HostProbe probe, int watchMs)
    : m_probe(probe ? std::move(probe) : HostProbe(UsableTrayHost))
{
    m_balloonTimer.setInterval(kBalloonWaitStepMs);
    connect(&m_balloonTimer, &QTimer::timeout, this, &CSystemTrayIcon::ShowPendingBalloon);
    m_watchTimer.setInterval(watchMs);
    connect(&m_watchTimer, &QTimer::timeout, this, &CSystemTrayIcon::WatchForTray);
    if (!TryCreateIcon())
        m_watchTimer.start();
}

CSystemTrayIcon::~CSystemTrayIcon() = default;

bool CSystemTrayIcon::TryCreateIcon()
{
    m_host = m_probe();
    if (m_host == TrayHost::None)
        return false;
    m_pIcon = std::make_unique<QSystemTrayIcon>();
    connect(m_pIcon.get(), &QSystemTrayIcon::activated, this, &CSystemTrayIcon::OnActivated);
    if (m_pMenu)
        m_pIcon->setContextMenu(m_pMenu);
    return true;
}

void CSystemTrayIcon::WatchForTray()
{
    if (!TryCreateIcon())
        return;
    m_watchTimer.stop();
    PostMessage(m_target, WM_TRAY_CREATED, 0, 0);
}

bool CSystemTrayIcon::IsAvailable() const
{
    return m_pIcon != nullptr;
}

bool CSystemTrayIcon::Modify(const TrayIconData& data)
{
    if (!IsShown())
        return false;
    if (!m_balloonTimer.isActive())
        m_nBalloonWaits = kBalloonWaitSteps;  // placed long ago: show at once
    Apply(data);
    return true;
}

bool CSystemTrayIcon::Add(const TrayIconData& data)
{
    if (!m_pIcon)
        return false;
    m_pIcon->setIcon(data.icon);
    m_pIcon->setToolTip(data.tip);
    m_pIcon->show();
    if (!m_pIcon->isVisible())
        return false;
    m_nBalloonWaits = 0;  // a new icon: its balloon may wait for the tray to place it
    Apply(data);
    return true;
}

bool CSystemTrayIcon::Delete()
{
    if (!IsShown())
        return false;
    m_balloonTimer.stop();
    m_pIcon->hide();
    return true;
}

bool CSystemTrayIcon::IsShown() const
{
    return m_pIcon && m_pIcon->isVisible();
}

void CSystemTrayIcon::SetContextMenu(QMenu* menu)
{
    // Qt opens it on a right click in the way of each desktop (XEmbed or the notifier
    // service), so a right click is not passed on as a mouse message as well.
    m_pMenu = menu;
    if (m_pIcon)
        m_pIcon->setContextMenu(menu);
}

void CSystemTrayIcon::SetNotifyTarget(HWND target)
{
    m_target = target;
}

void CSystemTrayIcon::Apply(const TrayIconData& data)
{
    if (m_pIcon->icon().cacheKey() != data.icon.cacheKey())
        m_pIcon->setIcon(data.icon);
    m_pIcon->setToolTip(data.tip);
    if (data.info.isEmpty())
        return;
    m_pending = data;
    ShowPendingBalloon();
}

void CSystemTrayIcon::ShowPendingBalloon()
{
    // Until the tray has embedded it, the icon has no size or sits at the screen's origin.
    const QRect where = m_pIcon->geometry();
    const bool placed = !where.isEmpty() && where.topLeft() != QPoint(0, 0);
    if (!placed && m_nBalloonWaits++ < kBalloonWaitSteps) {
        if (!m_balloonTimer.isActive())
            m_balloonTimer.start();
        return;
    }
    m_balloonTimer.stop();
    if (IsShown())
        m_pIcon->showMessage(m_pending.infoTitle, m_pending.info, QSystemTrayIcon::Information,
                             m_pending.infoTimeoutMs);
}

void CSystemTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (const UINT mouseMessage = TrayMouseMessage(reason, m_host))
        PostMessage(m_target, WM_TRAYNOTIFY, kTrayIconId, mouseMessage);
}
