#pragma once
// Which kind of notification area the desktop offers right now, asked the way Qt decides
// between its two tray implementations: a StatusNotifierItem host is a registered
// org.kde.StatusNotifierWatcher on the session bus that reports a registered host; an
// XEmbed tray owns the X selection
// _NET_SYSTEM_TRAY_S<screen>. Asked freshly on every call: a panel can start after us.
enum class TrayHost { None, XEmbed, StatusNotifier };

TrayHost CurrentTrayHost();
