#include "app/PowerWatcher.h"

#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Strings.h"
#include "res/TextIds.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");
} // namespace

CPowerWatcher::CPowerWatcher(std::vector<HWND> targets, QDBusConnection bus)
    : m_targets(std::move(targets)), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bConnected = m_bus.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                               SLOT(OnPrepareForSleep(bool)));
    if (m_bConnected)
        TakeDelayLock();
}

void CPowerWatcher::TakeDelayLock()
{
    // Asked without waiting, so that a slow bus never holds up the start.
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    // The reason is shown by the desktop when it lists what delays a suspend.
    call << QStringLiteral("sleep") << QStringLiteral("QVT-VZ1 Controller") << LoadStringRes(IDS_SLEEP_DELAY_REASON)
         << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isValid())
            m_delayLock = reply.value();
        w->deleteLater();
    });
}

void CPowerWatcher::OnPrepareForSleep(bool start)
{
    if (start) {
        // Sent, so that the camera is closed before the lock lets the machine go to sleep.
        for (WPARAM event : {PBT_APMQUERYSUSPEND, PBT_APMSUSPEND}) {
            for (HWND target : m_targets)
                SendMessage(target, WM_POWERBROADCAST, event, 0);
        }
        m_delayLock = QDBusUnixFileDescriptor();
    } else {
        for (HWND target : m_targets)
            PostMessage(target, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        if (m_bConnected)
            TakeDelayLock();
    }
}
