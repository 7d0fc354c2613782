#pragma once
// Tells a window that the devices changed (WM_DEVICECHANGE with DBT_DEVNODES_CHANGED): on
// every USB event the kernel reports through udev, and whenever the virtual camera appears in
// or leaves its announcement folder (camera/CameraAnnouncement.h: $XDG_RUNTIME_DIR/qvt-vz1/).
#include "platform/WinTypes.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class CDeviceChangeWatcher final : public QObject
{
public:
    // Watches for target; the announcement folder is created when missing so that it can be
    // watched before the first camera appears.
    explicit CDeviceChangeWatcher(HWND target, QString announcementDir = DefaultAnnouncementDir());
    ~CDeviceChangeWatcher() override;

    // False when udev could not be reached (containers without it); the folder is watched anyway.
    bool IsUsbWatched() const { return m_monitor != nullptr; }
    bool IsFolderWatched() const;

    static QString DefaultAnnouncementDir();

private:
    void StartUdevMonitor();
    void OnUdevReadable();
    void Notify();

    HWND m_target;
    QString m_dir;
    QFileSystemWatcher m_folderWatcher;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
