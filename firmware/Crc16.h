#pragma once
// CRC-16 of the firmware image: polynomial 0x8005, initial value 0, most significant bit
// first, no final XOR (the catalogued CRC-16/UMTS, also known as CRC-16/BUYPASS).
#include <cstdint>

// The process-wide byte table (256 entries): entry i is the CRC of the single byte i.
const std::uint16_t* Crc16Table();

// Kept for the loader's sequence of steps. The table is built at compile time, so there
// is nothing left to fill and two loads on different threads cannot race on it.
void InitCrc16Table();

// The CRC of count bytes; 0 for an empty range.
std::uint16_t CalcCrc16(const std::uint8_t* data, std::uint32_t count);

// The byte-at-a-time definition, the reference the fast sum is tested against.
std::uint16_t CalcCrc16Bytewise(const std::uint8_t* data, std::uint32_t count);
