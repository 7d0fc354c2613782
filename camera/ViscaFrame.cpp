#include "camera/ViscaFrame.h"

#include <cstdio>

namespace visca {

void AppendNibbles(Frame& frame, std::uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        frame.push_back(static_cast<std::uint8_t>((value >> (4 * i)) & 0x0F));
}

std::optional<std::uint32_t> ReadNibbles(std::span<const std::uint8_t> bytes, int count)
{
    if (count < 0 || bytes.size() < static_cast<size_t>(count) || count > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (bytes[i] > 0x0F)
            return std::nullopt;
        value = (value << 4) | bytes[i];
    }
    return value;
}

int SignExtend16(std::uint32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

int SignExtendNibbles(std::uint32_t value, int nibbles)
{
    const std::uint32_t sign = std::uint32_t(1) << (4 * nibbles - 1);
    const std::uint32_t low = value & ((sign << 1) - 1);
    return static_cast<int>(low ^ sign) - static_cast<int>(sign);
}

namespace {

Frame Start(std::uint8_t kind, std::initializer_list<std::uint8_t> bytes)
{
    Frame frame;
    frame.reserve(2 + bytes.size() + 1);
    frame.push_back(kCameraHeader);
    frame.push_back(kind);
    for (std::uint8_t byte : bytes)
        frame.push_back(byte);
    return frame;
}

Frame End(Frame frame)
{
    frame.push_back(kTerminator);
    return frame;
}

std::uint8_t Low(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

} // namespace

Frame AddressSet() { return {kBroadcastHeader, 0x30, 0x01, kTerminator}; }
Frame InterfaceClear() { return {kBroadcastHeader, 0x01, 0x00, 0x01, kTerminator}; }

Frame PanTiltDrive(PanMotion pan, TiltMotion tilt, int panSpeed, int tiltSpeed)
{
    return End(Start(0x01, {0x06, 0x01, Low(panSpeed), Low(tiltSpeed),
                            static_cast<std::uint8_t>(pan), static_cast<std::uint8_t>(tilt)}));
}

Frame PanTiltAbsolute(int panWire, int tiltWire, int panSpeed, int tiltSpeed, int panNibbles)
{
    Frame frame = Start(0x01, {0x06, 0x02, Low(panSpeed), Low(tiltSpeed)});
    AppendNibbles(frame, static_cast<std::uint32_t>(panWire), panNibbles);
    AppendNibbles(frame, static_cast<std::uint32_t>(tiltWire) & 0xFFFF, 4);
    return End(std::move(frame));
}

Frame ZoomDrive(ZoomMotion motion)
{
    return End(Start(0x01, {0x04, 0x07, static_cast<std::uint8_t>(motion)}));
}

Frame ZoomDirect(int zoomWire)
{
    Frame frame = Start(0x01, {0x04, 0x47});
    AppendNibbles(frame, static_cast<std::uint32_t>(zoomWire) & 0xFFFF, 4);
    return End(std::move(frame));
}

Frame MemoryRecall(int memory) { return End(Start(0x01, {0x04, 0x3F, 0x02, Low(memory & 0x7F)})); }
Frame PanTiltInquiry() { return End(Start(0x09, {0x06, 0x12})); }
Frame ZoomInquiry() { return End(Start(0x09, {0x04, 0x47})); }
Frame VersionInquiry() { return End(Start(0x09, {0x00, 0x02})); }

Frame RollDirect(int kind, int rollWire)
{
    Frame frame = Start(0x01, {kVendor, 0x01, kItemRoll, Low(kind & 0x0F)});
    AppendNibbles(frame, static_cast<std::uint32_t>(rollWire) & 0xFFFF, 4);
    return End(std::move(frame));
}

Frame VendorInquiry(std::uint8_t item) { return End(Start(0x09, {kVendor, 0x01, item})); }
Frame VideoFormatSet(int format)
{
    return End(Start(0x01, {kVendor, 0x01, kItemVideoFormat, Low(format & 0x0F)}));
}
Frame CommitSettings() { return End(Start(0x01, {kVendor, 0x01, kItemCommit})); }

Frame FirmwareStart(std::uint32_t size)
{
    Frame frame = Start(0x01, {kVendor, 0x02, kFirmwareStart});
    AppendNibbles(frame, size, 8);
    return End(std::move(frame));
}

Frame FirmwareBlockFrame(std::uint16_t sequence, std::span<const std::uint8_t> data)
{
    Frame frame = Start(0x01, {kVendor, 0x02, kFirmwareBlock});
    frame.reserve(frame.size() + 4 + 2 * data.size() + 1);
    AppendNibbles(frame, sequence, 4);
    for (std::uint8_t byte : data)
        AppendNibbles(frame, byte, 2);
    return End(std::move(frame));
}

Frame FirmwareEnd(std::uint16_t checksum)
{
    Frame frame = Start(0x01, {kVendor, 0x02, kFirmwareEnd});
    AppendNibbles(frame, checksum, 4);
    return End(std::move(frame));
}

Frame Ack(int socket) { return {kReplyHeader, Low(0x40 | (socket & 0x0F)), kTerminator}; }
Frame Completion(int socket) { return {kReplyHeader, Low(0x50 | (socket & 0x0F)), kTerminator}; }

Frame InquiryReply(std::span<const std::uint8_t> payload)
{
    Frame frame;
    frame.reserve(payload.size() + 3);
    frame.push_back(kReplyHeader);
    frame.push_back(0x50);
    for (std::uint8_t byte : payload)
        frame.push_back(byte);
    frame.push_back(kTerminator);
    return frame;
}

Frame ErrorReply(int socket, std::uint8_t code)
{
    return {kReplyHeader, Low(0x60 | (socket & 0x0F)), code, kTerminator};
}

Frame StandReport(int stand)
{
    return {kReplyHeader, 0x07, kVendor, 0x01, kItemStand, Low(stand & 0x0F), kTerminator};
}

Frame AddressSetReply(int nextAddress) { return {kBroadcastHeader, 0x30, Low(nextAddress & 0x0F), kTerminator}; }
Frame InterfaceClearReply() { return {kBroadcastHeader, 0x01, 0x00, 0x01, kTerminator}; }

std::uint16_t FirmwareChecksum(std::span<const std::uint8_t> image)
{
    std::uint32_t sum = 0;
    for (std::uint8_t byte : image)
        sum += byte;
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::string ToHex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    char buf[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += buf;
    }
    return text;
}

} // namespace visca
