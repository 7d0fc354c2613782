#pragma once
// The QVT-90UX as the speakerphone USB library sees it: the record of UxDeviceLink.h,
// with the speakerphone's version text and its current direction.
#include "sim/speakerphones/VirtualSpeakerphone.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <string>

class UsbLinkSpeakerphone final : public VirtualSpeakerphone
{
public:
    explicit UsbLinkSpeakerphone(std::string path, std::string version = "1.32");
    ~UsbLinkSpeakerphone() override;

    bool Attach(std::string* error) override;
    void Detach() override;
    bool IsAttached() const override { return m_record != nullptr; }
    void SetCode(std::uint8_t code) override;
    // At most 15 characters are kept.
    void SetVersion(const std::string& version) override;

private:
    void WriteVersion();

    std::string m_path;
    std::string m_version;
    std::uint8_t m_code = 255;
    UxDeviceRecord* m_record = nullptr;
};
