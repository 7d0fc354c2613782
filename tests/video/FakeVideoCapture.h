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
    std::vector<std::string> qualityOpened;    // nodes whose control was opened
    std::vector<double> qualityPut;            // every PutQuality
    int qualityControlsAlive = 0;
    std::vector<std::string> previewStarted;   // nodes
    QWidget* previewPicture = nullptr;         // where the last preview was drawn
    int previewsRunning = 0;
};

class FakeQualityControl final : public VideoQualityControl
{
public:
    FakeQualityControl(std::shared_ptr<FakeCaptureLog> log, std::optional<double> quality)
        : m_log(std::move(log)), m_quality(quality)
    {
        ++m_log->qualityControlsAlive;
    }
    ~FakeQualityControl() override { --m_log->qualityControlsAlive; }

    std::optional<double> GetQuality() override { return m_quality; }
    bool PutQuality(double quality) override
    {
        m_log->qualityPut.push_back(quality);
        return true;
    }

private:
    std::shared_ptr<FakeCaptureLog> m_log;
    std::optional<double> m_quality;
};

class FakePreview final : public VideoPreview
{
public:
    explicit FakePreview(std::shared_ptr<FakeCaptureLog> log) : m_log(std::move(log)) { ++m_log->previewsRunning; }
    ~FakePreview() override { Stop(); }
    void Stop() override
    {
        if (m_running)
            --m_log->previewsRunning;
        m_running = false;
    }

private:
    std::shared_ptr<FakeCaptureLog> m_log;
    bool m_running = true;
};

class FakeVideoCapture final : public VideoCapture
{
public:
    explicit FakeVideoCapture(std::vector<VideoDeviceInfo> devices, std::shared_ptr<FakeCaptureLog> log)
        : m_devices(std::move(devices)), m_log(std::move(log))
    {
    }

    // The quality the device reports; nothing = no quality control on the device.
    bool hasQualityControl = true;
    std::optional<double> quality = 0.5;
    bool previewStarts = true;

    std::vector<VideoDeviceInfo> Devices() override { return m_devices; }

    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo& device) override
    {
        m_log->qualityOpened.push_back(device.node);
        if (!hasQualityControl)
            return nullptr;
        return std::make_unique<FakeQualityControl>(m_log, quality);
    }

    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo& device, QWidget* picture) override
    {
        if (!previewStarts)
            return nullptr;
        m_log->previewStarted.push_back(device.node);
        m_log->previewPicture = picture;
        return std::make_unique<FakePreview>(m_log);
    }

private:
    std::vector<VideoDeviceInfo> m_devices;
    std::shared_ptr<FakeCaptureLog> m_log;
};

inline VideoDeviceInfo CameraByPath(std::string node = "/dev/video0")
{
    return {"\\\\?\\usb#vid_f1a9&pid_c20e&mi_00#5&1a2b&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
            "USB Video Device", std::move(node)};
}

inline VideoDeviceInfo CameraByName(std::string node = "/dev/video2")
{
    return {"\\\\?\\usb#vid_1234&pid_0001&mi_00#abc#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
            "NORVEL QVT-VZ1", std::move(node)};
}

inline VideoDeviceInfo OtherWebcam(std::string node = "/dev/video4")
{
    return {"\\\\?\\usb#vid_046d&pid_0825&mi_00#1-3#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
            "HD Webcam C270", std::move(node)};
}
