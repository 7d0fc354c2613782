#include "app/TrayHost.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <xcb/xcb.h>

namespace {

bool StatusNotifierWatcherRegistered()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* iface = bus.isConnected() ? bus.interface() : nullptr;
    return iface && iface->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

// The screen number of DISPLAY (":1.2" is screen 2); 0 when it names none.
int DisplayScreen()
{
    const char* display = std::getenv("DISPLAY");
    const char* colon = display ? std::strrchr(display, ':') : nullptr;
    const char* dot = colon ? std::strchr(colon, '.') : nullptr;
    return dot ? std::atoi(dot + 1) : 0;
}

bool XEmbedTrayOwned()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DisplayScreen());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr),
        &std::free);
    if (!atom)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace

TrayHost CurrentTrayHost()
{
    // Qt prefers the notifier protocol when its watcher is there, whatever else is.
    if (StatusNotifierWatcherRegistered())
        return TrayHost::StatusNotifier;
    return XEmbedTrayOwned() ? TrayHost::XEmbed : TrayHost::None;
}
