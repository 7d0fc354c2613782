#pragma once
// VISCA frames as this camera speaks them: builders for every frame the controller sends
// and the camera answers, and the nibble packing both ends use. The frames are described
// one by one in docs/camera-protocol.md.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace visca {

using Frame = std::vector<std::uint8_t>;

constexpr std::uint8_t kTerminator = 0xFF;
constexpr std::uint8_t kCameraHeader = 0x81;    // controller -> camera 1
constexpr std::uint8_t kReplyHeader = 0x90;     // camera 1 -> controller
constexpr std::uint8_t kBroadcastHeader = 0x88;
constexpr std::uint8_t kVendor = 0x7E;          // category of this camera's own frames

// Error codes of the standard error reply 90 6y ee FF.
constexpr std::uint8_t kErrorMessageLength = 0x01;
constexpr std::uint8_t kErrorSyntax = 0x02;
constexpr std::uint8_t kErrorBufferFull = 0x03;
constexpr std::uint8_t kErrorCancelled = 0x04;
constexpr std::uint8_t kErrorNoSocket = 0x05;
constexpr std::uint8_t kErrorNotExecutable = 0x41;

// Vendor items (81 01 7E 01 ii ... / 81 09 7E 01 ii FF).
constexpr std::uint8_t kItemRoll = 0x10;
constexpr std::uint8_t kItemStand = 0x20;
constexpr std::uint8_t kItemVideoFormat = 0x30;
constexpr std::uint8_t kItemCommit = 0x40;
constexpr std::uint8_t kItemFirmwareVersion = 0x50;
// Firmware channel (81 01 7E 02 ii ...).
constexpr std::uint8_t kFirmwareStart = 0x01;
constexpr std::uint8_t kFirmwareBlock = 0x02;
constexpr std::uint8_t kFirmwareEnd = 0x03;
constexpr int kFirmwareBlockBytes = 128;

// Directions of the pan-tilt drive frame.
enum class PanMotion : std::uint8_t { Left = 0x01, Right = 0x02, Stop = 0x03 };
enum class TiltMotion : std::uint8_t { Up = 0x01, Down = 0x02, Stop = 0x03 };
enum class ZoomMotion : std::uint8_t { Stop = 0x00, Tele = 0x02, Wide = 0x03 };

constexpr int kDefaultPanSpeed = 0x0C;   // of 0x01..0x18
constexpr int kDefaultTiltSpeed = 0x0A;  // of 0x01..0x17
constexpr int kMaxPanSpeed = 0x18;
constexpr int kMaxTiltSpeed = 0x17;

// Appends value as count bytes of one nibble each (0x0n), most significant first.
void AppendNibbles(Frame& frame, std::uint32_t value, int count);
// Reads count nibble bytes; nothing when a byte is not 0x00..0x0F or bytes are missing.
std::optional<std::uint32_t> ReadNibbles(std::span<const std::uint8_t> bytes, int count);
// The low 16 bits as a signed value.
int SignExtend16(std::uint32_t value);
// The low 4 * nibbles bits as a signed value (nibbles 1..7).
int SignExtendNibbles(std::uint32_t value, int nibbles);

// Controller -> camera.
Frame AddressSet();                                    // 88 30 01 FF
Frame InterfaceClear();                                // 88 01 00 01 FF
Frame PanTiltDrive(PanMotion pan, TiltMotion tilt, int panSpeed = kDefaultPanSpeed,
                   int tiltSpeed = kDefaultTiltSpeed); // 81 01 06 01 VV WW XX YY FF
Frame PanTiltAbsolute(int panWire, int tiltWire, int panSpeed = kMaxPanSpeed,
                      int tiltSpeed = kMaxTiltSpeed,
                      int panNibbles = 4);             // 81 01 06 02 VV WW Y*4 (or *5) Z*4 FF
Frame ZoomDrive(ZoomMotion motion);                    // 81 01 04 07 0x FF
Frame ZoomDirect(int zoomWire);                        // 81 01 04 47 p*4 FF
Frame MemoryRecall(int memory);                        // 81 01 04 3F 02 pp FF
Frame PanTiltInquiry();                                // 81 09 06 12 FF
Frame ZoomInquiry();                                   // 81 09 04 47 FF
Frame VersionInquiry();                                // 81 09 00 02 FF
// kind 0: roll alone; 1 or 2: the roll that completes a preset of that kind.
Frame RollDirect(int kind, int rollWire);              // 81 01 7E 01 10 0k p*4 FF
Frame VendorInquiry(std::uint8_t item);                // 81 09 7E 01 ii FF
Frame VideoFormatSet(int format);                      // 81 01 7E 01 30 0p FF
Frame CommitSettings();                                // 81 01 7E 01 40 FF
Frame FirmwareStart(std::uint32_t size);               // 81 01 7E 02 01 s*8 FF
Frame FirmwareBlockFrame(std::uint16_t sequence, std::span<const std::uint8_t> data);
                                                       // 81 01 7E 02 02 q*4 d*2n FF
Frame FirmwareEnd(std::uint16_t checksum);             // 81 01 7E 02 03 c*4 FF

// Camera -> controller.
Frame Ack(int socket);                                 // 90 4y FF
Frame Completion(int socket);                          // 90 5y FF
Frame InquiryReply(std::span<const std::uint8_t> payload); // 90 50 ... FF
Frame ErrorReply(int socket, std::uint8_t code);       // 90 6y ee FF
Frame StandReport(int stand);                          // 90 07 7E 01 20 0p FF
Frame AddressSetReply(int nextAddress = 2);            // 88 30 0n FF
Frame InterfaceClearReply();                           // 88 01 00 01 FF

// The 16-bit sum of the image's bytes, sent with FirmwareEnd.
std::uint16_t FirmwareChecksum(std::span<const std::uint8_t> image);

// "81 01 06 01 FF" for traces and messages.
std::string ToHex(std::span<const std::uint8_t> bytes);

} // namespace visca
