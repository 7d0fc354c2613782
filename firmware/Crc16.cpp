#include "firmware/Crc16.h"

#include <array>
#include <cstring>

namespace {

using Table = std::array<std::uint16_t, 256>;

constexpr Table MakeByteTable()
{
    Table t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned v = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            v = (v & 0x8000) ? ((v << 1) ^ 0x8005) : (v << 1);
        t[i] = static_cast<std::uint16_t>(v);
    }
    return t;
}

// slices[k][b]: the CRC of byte b followed by k zero bytes. Eight of them let the sum
// take eight bytes per step, which keeps the CRC far below the cost of inflating.
constexpr std::array<Table, 8> MakeSlices()
{
    std::array<Table, 8> s{};
    s[0] = MakeByteTable();
    for (int k = 1; k < 8; ++k)
        for (unsigned b = 0; b < 256; ++b) {
            const unsigned prev = s[k - 1][b];
            s[k][b] = static_cast<std::uint16_t>(s[0][prev >> 8] ^ ((prev & 0xFF) << 8));
        }
    return s;
}

constexpr std::array<Table, 8> kSlices = MakeSlices();

} // namespace

const std::uint16_t* Crc16Table()
{
    return kSlices[0].data();
}

void InitCrc16Table()
{
}

std::uint16_t CalcCrc16Bytewise(const std::uint8_t* data, std::uint32_t count)
{
    unsigned crc = 0;
    for (std::uint32_t i = 0; i < count; ++i)
        crc = (kSlices[0][((crc >> 8) ^ data[i]) & 0xFF] ^ ((crc & 0xFF) << 8)) & 0xFFFF;
    return static_cast<std::uint16_t>(crc);
}

std::uint16_t CalcCrc16(const std::uint8_t* data, std::uint32_t count)
{
    const auto& t = kSlices;
    unsigned crc = 0;
    // The register's two bytes fold into the next two data bytes; the rest of the block
    // contributes through the tables for its distance from the end.
    while (count >= 8) {
        const unsigned b0 = data[0] ^ (crc >> 8);
        const unsigned b1 = data[1] ^ (crc & 0xFF);
        crc = t[7][b0] ^ t[6][b1] ^ t[5][data[2]] ^ t[4][data[3]] ^ t[3][data[4]] ^ t[2][data[5]] ^
              t[1][data[6]] ^ t[0][data[7]];
        data += 8;
        count -= 8;
    }
    while (count--) {
        crc = (t[0][((crc >> 8) ^ *data++) & 0xFF] ^ ((crc & 0xFF) << 8)) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(crc);
}
