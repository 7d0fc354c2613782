#include "app/DeviceChangeWatcher.h"

#include "camera/CameraAnnouncement.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <QDir>
#include <QSocketNotifier>

#include <libudev.h>
#include <sys/stat.h>

CDeviceChangeWatcher::CDeviceChangeWatcher(HWND target, QString announcementDir)
    : m_target(target), m_dir(std::move(announcementDir))
{
    if (!m_dir.isEmpty() && QDir().mkpath(m_dir)) {
        ::chmod(QFile::encodeName(m_dir).constData(), 0700);
        m_folderWatcher.addPath(m_dir);
    }
    connect(&m_folderWatcher, &QFileSystemWatcher::directoryChanged, this, &CDeviceChangeWatcher::Notify);
    StartUdevMonitor();
}

CDeviceChangeWatcher::~CDeviceChangeWatcher()
{
    m_notifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

QString CDeviceChangeWatcher::DefaultAnnouncementDir()
{
    return QString::fromStdString(CameraRuntimeDir());
}

bool CDeviceChangeWatcher::IsFolderWatched() const
{
    return !m_folderWatcher.directories().isEmpty();
}

void CDeviceChangeWatcher::StartUdevMonitor()
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    udev_monitor* monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!monitor)
        return;
    // The camera's serial port appears as tty and its device as usb; either is a change. A
    // USB camera's capture node appears as video4linux.
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", nullptr) < 0
        || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
        || udev_monitor_filter_add_match_subsystem_devtype(monitor, "video4linux", nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        return;
    }
    m_monitor = monitor;
    m_notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CDeviceChangeWatcher::OnUdevReadable);
}

void CDeviceChangeWatcher::OnUdevReadable()
{
    // Drain every queued event (the socket is non-blocking), then report one change.
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        udev_device_unref(device);
        any = true;
    }
    if (any)
        Notify();
}

void CDeviceChangeWatcher::Notify()
{
    // A removed folder is no longer watched: make it again so that the next camera is seen.
    if (!m_dir.isEmpty() && !IsFolderWatched() && QDir().mkpath(m_dir))
        m_folderWatcher.addPath(m_dir);
    PostMessage(m_target, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}
