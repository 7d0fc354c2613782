#pragma once
// The virtual camera's side of the firmware channel: collects the blocks of one image and
// checks it at the end. Its image layout: bytes 0..7 "QVTVZ1FW", bytes 8..15 the version
// text padded with NULs, then any payload.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class FirmwareReceiver
{
public:
    static constexpr std::uint32_t kMaxImageBytes = 16u * 1024 * 1024;

    // Begins an image of size bytes; false when the size is 0 or too large.
    bool Start(std::uint32_t size);

    enum class BlockResult { Taken, Repeated, Refused };
    // Blocks arrive in order, numbered from 0 (the number wraps at 16 bits). The block
    // just taken may come again (its reply was lost) and is answered again.
    BlockResult Block(std::uint16_t sequence, std::span<const std::uint8_t> data);

    // The version of the image when it is complete, its checksum matches and it carries
    // the marker; nothing otherwise. Ends the transfer either way.
    std::optional<std::string> Finish(std::uint16_t checksum);

    bool Active() const { return m_active; }

    // The version text an image carries, or nothing without the marker or a version.
    static std::optional<std::string> ImageVersion(std::span<const std::uint8_t> image);

private:
    bool m_active = false;
    std::uint32_t m_size = 0;
    std::uint32_t m_blocks = 0;  // blocks taken
    std::vector<std::uint8_t> m_image;
};
