#pragma once
// Capture services for the video window's tests: a device list set by the test, a quality
// control that records what it was given, and a preview that records where it ran.
#include "video/VideoCapture.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the fakes saw; shared with the test, which keeps it after the window is gone.
struct FakeCaptureLog
{
    std::vector<std::string> qualityOpened, previewStarted;  // nodes
    std::vector<double> qualityPut;
    int qualityControlsAlive = 0, previewsRunning = 0;
    QWidget* previewPicture = nullptr;  // where the last preview was drawn
};

// Counts itself in the log's counter while it lives.
struct Counted
{
    Counted(std::shared_ptr<FakeCaptureLog> l, int FakeCaptureLog::*n) : log(std::move(l)), count(log.get()->*n) { ++count; }
    ~Counted() { --count; }
    std::shared_ptr<FakeCaptureLog> log;
    int& count;
};

struct FakeQualityControl final : VideoQualityControl, Counted
{
    FakeQualityControl(std::shared_ptr<FakeCaptureLog> l, std::optional<double> q)
        : Counted(std::move(l), &FakeCaptureLog::qualityControlsAlive), quality(q) {}
    std::optional<double> GetQuality() override { return quality; }
    bool PutQuality(double q) override { return log->qualityPut.push_back(q), true; }
    std::optional<double> quality;
};

struct FakePreview final : VideoPreview
{
    explicit FakePreview(std::shared_ptr<FakeCaptureLog> l) : running(new Counted(std::move(l), &FakeCaptureLog::previewsRunning)) {}
    void Stop() override { running.reset(); }
    std::unique_ptr<Counted> running;
};

class FakeVideoCapture final : public VideoCapture
{
public:
    FakeVideoCapture(std::vector<VideoDeviceInfo> devices, std::shared_ptr<FakeCaptureLog> log)
        : m_devices(std::move(devices)), m_log(std::move(log)) {}

    bool hasQualityControl = true;
    std::optional<double> quality = 0.5;  // what the device reports; nothing: unreadable

    std::vector<VideoDeviceInfo> Devices() override { return m_devices; }
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) override
    {
        m_log->qualityOpened.push_back(device.node);
        return hasQualityControl ? std::make_unique<FakeQualityControl>(m_log, quality) : nullptr;
    }
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) override
    {
        m_log->previewStarted.push_back(device.node);
        m_log->previewPicture = picture;
        return std::make_unique<FakePreview>(m_log);
    }

private:
    std::vector<VideoDeviceInfo> m_devices;
    std::shared_ptr<FakeCaptureLog> m_log;
};

inline VideoDeviceInfo Device(const std::string& ids, std::string name, std::string node)
{
    return {"\\\\?\\usb#" + ids + "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global", std::move(name), std::move(node)};
}
inline VideoDeviceInfo CameraByPath(std::string node = "/dev/video0")
{
    return Device("vid_f1a9&pid_c20e&mi_00#5&1a2b&0&0000", "USB Video Device", std::move(node));
}
inline VideoDeviceInfo CameraByName(std::string node = "/dev/video2")
{
    return Device("vid_1234&pid_0001&mi_00#abc", "NORVEL QVT-VZ1", std::move(node));
}
inline VideoDeviceInfo OtherWebcam(std::string node = "/dev/video4")
{
    return Device("vid_046d&pid_0825&mi_00#1-3", "HD Webcam C270", std::move(node));
}
