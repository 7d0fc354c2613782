#include "sim/speakerphones/SharedRecordSpeakerphone.h"

SharedRecordSpeakerphone::SharedRecordSpeakerphone(std::string recordName, std::string mutexName,
                                                   std::optional<std::uint8_t> model)
    : m_recordName(std::move(recordName)), m_lock(SharedMutexPath(mutexName)), m_model(model)
{
}

bool SharedRecordSpeakerphone::Attach(std::string* error)
{
    if (!m_record.IsOpen())
        m_record = SharedMemory::Create(m_recordName, 2);
    if (!m_record.IsOpen()) {
        if (error)
            *error = "cannot make the shared memory " + m_recordName;
        return false;
    }
    m_attached = true;
    SetCode(255);
    return true;
}

void SharedRecordSpeakerphone::Detach()
{
    if (m_attached)
        SetCode(255);
    m_attached = false;
}

void SharedRecordSpeakerphone::SetCode(std::uint8_t code)
{
    if (!m_attached)
        return;
    if (m_model)
        Write(*m_model, code);
    else
        Write(code, 0);
}

void SharedRecordSpeakerphone::Write(std::uint8_t byte0, std::uint8_t byte1)
{
    if (!m_record.IsOpen() || !m_lock.Lock())
        return;
    m_record.Data()[0] = byte0;
    m_record.Data()[1] = byte1;
    m_lock.Unlock();
}
