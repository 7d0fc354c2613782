#include "camera/ViscaReply.h"

namespace visca {

Reply ClassifyReply(const Frame& frame)
{
    Reply reply;
    if (frame.size() < 3 || frame.back() != kTerminator)
        return reply;
    const std::uint8_t header = frame[0];
    const std::uint8_t type = frame[1];

    if (header == kBroadcastHeader) {
        if (frame.size() == 4 && type == 0x30 && frame[2] <= 0x0F)
            reply.kind = Reply::Kind::AddressSetDone;
        else if (frame == InterfaceClearReply())
            reply.kind = Reply::Kind::InterfaceCleared;
        return reply;
    }
    if (header != kReplyHeader)
        return reply;

    const int socket = type & 0x0F;
    switch (type & 0xF0) {
    case 0x40:
        if (frame.size() == 3) {
            reply.kind = Reply::Kind::Ack;
            reply.socket = socket;
        }
        break;
    case 0x50:
        if (frame.size() == 3 && socket != 0) {
            reply.kind = Reply::Kind::Completion;
            reply.socket = socket;
        } else if (frame.size() > 3 && socket == 0) {
            reply.kind = Reply::Kind::InquiryData;
            reply.payload.assign(frame.begin() + 2, frame.end() - 1);
        } else if (frame.size() == 3) {
            // 90 50 FF: completion of a socketless command such as a cancel.
            reply.kind = Reply::Kind::Completion;
        }
        break;
    case 0x60:
        if (frame.size() == 4) {
            reply.kind = Reply::Kind::Error;
            reply.socket = socket;
            reply.errorCode = frame[2];
        }
        break;
    case 0x00:
        if (type == 0x07 && frame.size() == 7 && frame[2] == kVendor && frame[3] == 0x01
            && frame[4] == kItemStand && frame[5] <= 0x03) {
            reply.kind = Reply::Kind::StandReport;
            reply.stand = frame[5];
        }
        break;
    default:
        break;
    }
    return reply;
}

std::optional<PanTiltPosition> ReadPanTiltPosition(std::span<const std::uint8_t> payload, int panNibbles)
{
    if (payload.size() != static_cast<std::size_t>(panNibbles) + 4)
        return std::nullopt;
    const auto pan = ReadNibbles(payload, panNibbles);
    const auto tilt = ReadNibbles(payload.subspan(static_cast<std::size_t>(panNibbles)), 4);
    if (!pan || !tilt)
        return std::nullopt;
    return PanTiltPosition{SignExtendNibbles(*pan, panNibbles), SignExtend16(*tilt)};
}

} // namespace visca
