#pragma once
// The speakerphone software that publishes the talker direction in a named shared-memory
// record under its named mutex: the QVT-18TR's (byte 0 = direction) and the MZC companion
// software's (byte 0 = model, byte 1 = the model's direction code).
#include "platform/NamedLock.h"
#include "platform/SharedMemory.h"
#include "sim/speakerphones/VirtualSpeakerphone.h"

#include <optional>
#include <string>

class SharedRecordSpeakerphone final : public VirtualSpeakerphone
{
public:
    // model: the MZC model byte to write before the code; none for the QVT-18TR record.
    SharedRecordSpeakerphone(std::string recordName, std::string mutexName,
                             std::optional<std::uint8_t> model);

    bool Attach(std::string* error) override;
    // The record stays (the speakerphone software keeps running); it turns silent.
    void Detach() override;
    bool IsAttached() const override { return m_attached; }
    void SetCode(std::uint8_t code) override;

    // Writes the record's two bytes under the mutex.
    void Write(std::uint8_t byte0, std::uint8_t byte1);

private:
    std::string m_recordName;
    NamedLock m_lock;
    std::optional<std::uint8_t> m_model;
    SharedMemory m_record;
    bool m_attached = false;
};
