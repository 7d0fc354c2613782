// VISCA over IP on its own: the header, and the transport against a peer played by the
// test (RESET at open, sequence numbers, one resend, replies matched by number and sender).
#include "camera/transport/ViscaIpPacket.h"
#include "camera/transport/ViscaIpTransport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ViscaIpPacket, HeaderFieldsAreBigEndianAndCheckedOnTheWayIn)
{
    const Bytes frame{0x81, 0x09, 0x00, 0x02, 0xFF};
    EXPECT_EQ(visca_ip::Encode(visca_ip::kInquiry, 0x01020304, frame),
              (Bytes{0x01, 0x10, 0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0x81, 0x09, 0x00, 0x02, 0xFF}));
    const auto p = visca_ip::Decode(visca_ip::Encode(visca_ip::kControlReply, 0xFFFFFFFF, Bytes{0x01}));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->type, visca_ip::kControlReply);
    EXPECT_EQ(p->sequence, 0xFFFFFFFFu);
    EXPECT_EQ(p->payload, Bytes{0x01});
    const Bytes bad[] = {
        {0x01, 0x11, 0x00, 0x03, 0, 0, 0, 1, 0x90, 0x41},           // shorter than its length
        {0x01, 0x11, 0x00, 0x02, 0, 0, 0, 1, 0x90, 0x41, 0xFF},     // longer
        {0x01, 0x11, 0x00, 0x00, 0, 0, 0, 1},                       // empty payload
        {0x01, 0x11, 0x00},                                         // no header
        visca_ip::Encode(visca_ip::kReply, 1, Bytes(17, 0x01)),     // above 16 bytes
    };
    for (const Bytes& d : bad)
        EXPECT_FALSE(visca_ip::Decode(d));
}

// A UDP socket on 127.0.0.1 playing the camera.
struct Peer
{
    Peer()
    {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Peer() { ::close(fd); }
    // The next datagram (empty after 2 s), remembering its sender.
    Bytes Receive()
    {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1)
            return {};
        Bytes buf(1500);
        fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        buf.resize(n > 0 ? n : 0);
        return buf;
    }
    void Reply(const Bytes& d) { ::sendto(fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen); }

    int fd;
    int port;
    sockaddr_storage from{};
    socklen_t fromLen = 0;
};

// Everything the transport hands on for one readable moment.
std::vector<Bytes> Take(ViscaIpTransport& t)
{
    std::vector<Bytes> frames;
    pollfd p{t.Fd(), POLLIN, 0};
    while (::poll(&p, 1, 300) == 1)
        EXPECT_TRUE(t.Receive([&](const visca::Frame& f) { frames.push_back(f); }));
    return frames;
}

} // namespace

TEST(ViscaIpTransport, NumbersMessagesResendsOnceAndTakesOnlyAnswersToTheLastOne)
{
    Peer camera;
    ViscaIpTransport t("127.0.0.1", camera.port);
    // The peer does not answer RESET: the transport waits its time and goes on.
    ASSERT_TRUE(t.Open(200));
    EXPECT_EQ(camera.Receive(), visca_ip::Encode(visca_ip::kControl, 0, Bytes{0x01}));
    EXPECT_FALSE(t.ResetAcknowledged());

    const Bytes command{0x81, 0x01, 0x06, 0x04, 0xFF}, inquiry{0x81, 0x09, 0x06, 0x12, 0xFF};
    ASSERT_TRUE(t.Send(command, 100));
    EXPECT_EQ(camera.Receive(), visca_ip::Encode(visca_ip::kCommand, 1, command));
    ASSERT_TRUE(t.Send(inquiry, 100));
    const Bytes sent = camera.Receive();
    EXPECT_EQ(sent, visca_ip::Encode(visca_ip::kInquiry, 2, inquiry));
    ASSERT_TRUE(t.Resend(100));
    EXPECT_EQ(camera.Receive(), sent);  // the same number again

    const Bytes ack{0x90, 0x41, 0xFF};
    camera.Reply(visca_ip::Encode(visca_ip::kReply, 1, ack));  // late: the earlier message's
    camera.Reply(visca_ip::Encode(visca_ip::kCommand, 2, ack));  // not a reply
    camera.Reply(Bytes{0x90, 0x41, 0xFF});  // no header
    Peer stranger;  // the right number from another address
    const Bytes forged = visca_ip::Encode(visca_ip::kReply, 2, ack);
    ::sendto(stranger.fd, forged.data(), forged.size(), 0, reinterpret_cast<sockaddr*>(&camera.from), camera.fromLen);
    EXPECT_TRUE(Take(t).empty());
    camera.Reply(visca_ip::Encode(visca_ip::kReply, 2, ack));
    EXPECT_EQ(Take(t), std::vector<Bytes>{ack});
}

TEST(ViscaIpTransport, ResetIsAcknowledgedAtOpenAndTheCountStartsAgain)
{
    Peer camera;
    ViscaIpTransport t("127.0.0.1", camera.port);
    std::thread answer([&] {
        camera.Receive();
        camera.Reply(visca_ip::Encode(visca_ip::kControlReply, 0, Bytes{0x01}));
    });
    ASSERT_TRUE(t.Open(2000));
    answer.join();
    EXPECT_TRUE(t.ResetAcknowledged());
    ASSERT_TRUE(t.Send({0x81, 0x01, 0x06, 0x05, 0xFF}, 100));
    EXPECT_EQ(t.Sequence(), 1u);
}

TEST(ViscaIpTransport, DeliveryErrorsRenumberOnceOrEndTheRequestAtOnce)
{
    Peer camera;
    ViscaIpTransport t("127.0.0.1", camera.port);
    ASSERT_TRUE(t.Open(100));
    camera.Receive();  // RESET
    const Bytes inquiry{0x81, 0x09, 0x06, 0x12, 0xFF};
    const auto error = [&](std::uint32_t n, std::uint8_t code) {
        camera.Reply(visca_ip::Encode(visca_ip::kControl, n, Bytes{visca_ip::kError, code}));
    };

    // The number was carried out already (a lost reply): RESET, and the message once more
    // as number 1 (StrictViscaIpCamera shows it answered). A second such error, or an
    // error of the message itself, ends the request with a VISCA error from its address.
    ASSERT_TRUE(t.Send(inquiry, 100));
    camera.Receive();
    error(1, visca_ip::kErrorSequence);
    EXPECT_TRUE(Take(t).empty());
    EXPECT_EQ(camera.Receive(), visca_ip::Encode(visca_ip::kControl, 0, Bytes{visca_ip::kReset}));
    EXPECT_EQ(camera.Receive(), visca_ip::Encode(visca_ip::kInquiry, 1, inquiry));
    error(1, visca_ip::kErrorSequence);
    EXPECT_EQ(Take(t), std::vector<Bytes>{Bytes({0x90, 0x60, 0x41, 0xFF})});
    ASSERT_TRUE(t.Send({0x83, 0x01, 0x06, 0x04, 0xFF}, 100));
    camera.Receive();
    error(2, visca_ip::kErrorMessage);
    EXPECT_EQ(Take(t), std::vector<Bytes>{Bytes({0xB0, 0x60, 0x02, 0xFF})});

    // After the answer an error can only be about a resend that was not needed.
    ASSERT_TRUE(t.Send(inquiry, 100));
    camera.Receive();
    const Bytes answer{0x90, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF};
    camera.Reply(visca_ip::Encode(visca_ip::kReply, 3, answer));
    error(3, visca_ip::kErrorSequence);
    EXPECT_EQ(Take(t), std::vector<Bytes>{answer});
    EXPECT_EQ(t.Sequence(), 3u);  // not counted again
}
