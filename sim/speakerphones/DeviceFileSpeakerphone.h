#pragma once
// The QVT-40S as its driver presents it: a character device (here a pseudo-terminal in raw
// mode, linked at the path the program reads) that delivers a 9-byte report ten times a
// second, the talker direction in the ninth byte.
#include "sim/speakerphones/VirtualSpeakerphone.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class DeviceFileSpeakerphone final : public VirtualSpeakerphone
{
public:
    static constexpr int kReportPeriodMs = 100;

    // path: where the device appears (a symbolic link to the pseudo-terminal).
    explicit DeviceFileSpeakerphone(std::string path);
    ~DeviceFileSpeakerphone() override;

    bool Attach(std::string* error) override;
    void Detach() override;
    bool IsAttached() const override { return m_master >= 0; }
    void SetCode(std::uint8_t code) override;

    // Writes one report now (besides the periodic ones); the benchmark times from here.
    void SendReport();

private:
    void ReportLoop();

    std::string m_path;
    int m_master = -1;
    int m_slave = -1;  // kept open so the terminal stays raw and keeps its queue
    std::atomic<std::uint8_t> m_code{255};
    std::uint8_t m_sequence = 0;
    std::mutex m_writeMutex;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
