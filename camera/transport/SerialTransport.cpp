#include "camera/transport/SerialTransport.h"

#include "camera/SerialPort.h"

#include <cerrno>
#include <unistd.h>

SerialTransport::SerialTransport(std::string path, int baud)
    : m_path(std::move(path)), m_baud(baud)
{
}

bool SerialTransport::Open(int)
{
    Close();
    m_splitter.Reset();
    m_fd = OpenSerialPort(m_path, m_baud);
    if (m_fd < 0)
        m_error = m_path.empty() ? "no port" : m_path + ": cannot open the port";
    return m_fd >= 0;
}

void SerialTransport::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SerialTransport::Send(const visca::Frame& frame, int timeoutMs)
{
    return m_fd >= 0 && WriteAll(m_fd, frame, timeoutMs);
}

bool SerialTransport::Receive(const FrameSink& sink)
{
    std::uint8_t buf[512];
    const ssize_t got = ::read(m_fd, buf, sizeof buf);
    if (got > 0) {
        m_splitter.Feed({buf, static_cast<size_t>(got)}, sink);
        return true;
    }
    return got < 0 && (errno == EAGAIN || errno == EINTR);  // else end of file or an error
}
