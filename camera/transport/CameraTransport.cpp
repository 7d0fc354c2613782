#include "camera/transport/CameraTransport.h"

#include "camera/CameraConnection.h"
#include "camera/transport/SerialTransport.h"
#include "camera/transport/SocketTransport.h"
#include "camera/transport/ViscaIpTransport.h"

std::unique_ptr<CameraTransport> MakeTransport(const CameraConnection& c, const std::string& port)
{
    using Net = CameraConnection::Net;
    switch (c.kind) {
    case CameraConnection::Kind::Network:
        if (c.net == Net::ViscaIp)
            return std::make_unique<ViscaIpTransport>(c.host, c.port);
        return std::make_unique<SocketTransport>(c.net == Net::Tcp ? SocketTransport::Mode::Tcp : SocketTransport::Mode::Udp,
                                                 c.host, c.port);
    case CameraConnection::Kind::Serial:
        return std::make_unique<SerialTransport>(port, c.baud);
    default:
        return std::make_unique<SerialTransport>(port, 9600);
    }
}
