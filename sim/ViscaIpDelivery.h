#pragma once
// The virtual camera's side of the VISCA over IP delivery confirmation, kept per sender:
// a message is carried out once, under a number after the last one carried out (any
// number after a RESET); a resend of a number already carried out, a number out of order,
// a payload type that does not fit its frame (a command sent as an inquiry, an unknown
// type; an inquiry sent as a command is taken, as cameras take it) and a header whose
// length does not fit the datagram get the ERROR control message instead (0F 01 for the
// number, 0F 02 for the message), as a real camera answers them.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

class ViscaIpDelivery
{
public:
    struct Verdict
    {
        enum class Kind { Drop, Reset, Execute, Error };
        Kind kind = Kind::Drop;
        std::uint32_t sequence = 0;
        std::uint8_t error = 0;                 // for Error: visca_ip::kErrorSequence or kErrorMessage
        std::vector<std::uint8_t> frames;       // for Execute: the VISCA payload
    };

    // What to do with one datagram from sender (any text that tells senders apart).
    Verdict Take(const std::string& sender, std::span<const std::uint8_t> datagram);

    // Senders remembered at most; the longest silent is forgotten first.
    static constexpr std::size_t kMaxSenders = 16;

private:
    struct Sender
    {
        bool counting = false;  // a message was carried out since the last RESET
        std::uint32_t last = 0;
        std::uint64_t seen = 0;
    };
    Sender& Of(const std::string& sender);

    std::map<std::string, Sender> m_senders;
    std::uint64_t m_clock = 0;
};
