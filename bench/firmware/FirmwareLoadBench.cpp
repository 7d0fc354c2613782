// Loads a 16 MiB firmware image again and again and sets the loader's throughput beside
// what it cannot beat: zlib's uncompress of the same stream plus the CRC of the result.
// Usage: bench_firmware_load [rounds]
#include "firmware/Crc16.h"
#include "firmware/FirmwareImage.h"
#include "tests/firmware/FirmwareFile.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// Firmware-like content: runs and repeats mixed with noise, compressing about 2:1.
std::vector<std::uint8_t> MakeImage(std::size_t size)
{
    std::vector<std::uint8_t> image(size);
    std::uint32_t x = 2463534242u;
    std::size_t i = 0;
    while (i < size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const std::size_t run = 4 + (x & 31);
        if ((x >> 8) & 1) {
            // A copy of earlier bytes, as code and tables repeat themselves.
            const std::size_t back = 1 + ((x >> 9) & 4095);
            for (std::size_t k = 0; k < run && i < size; ++k, ++i)
                image[i] = i >= back ? image[i - back] : static_cast<std::uint8_t>(k);
        } else {
            for (std::size_t k = 0; k < run && i < size; ++k, ++i) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                image[i] = static_cast<std::uint8_t>(x);
            }
        }
    }
    return image;
}

// Best of the rounds: the figure least disturbed by other work on the machine.
template <class F>
double Best(int rounds, F&& f)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        f();
        best = std::min(best, Seconds(t0, Clock::now()));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::size_t size = 16u * 1024 * 1024;
    const auto image = MakeImage(size);
    const auto file = MakeFirmwareFile(image, {.version = "9.99"});
    const std::size_t compressed = file.size() - kFirmwareHeaderSize;
    std::printf("image %zu bytes, stream %zu bytes (%.2f:1), %d rounds, best of each\n", size, compressed,
                double(size) / double(compressed), rounds);
    if (size > 3 * compressed) {
        std::printf("content compresses too well for the 3:1 rule\n");
        return 1;
    }

    int failures = 0;
    const double load = Best(rounds, [&] {
        CFirmwareImage img;
        failures += img.Load(file.data(), static_cast<std::uint32_t>(file.size())) != FW_LOAD_OK;
    });

    std::vector<std::uint8_t> out(3 * compressed);
    volatile std::uint16_t sink = 0;
    const double inflate = Best(rounds, [&] {
        uLongf n = static_cast<uLongf>(out.size());
        failures += uncompress(out.data(), &n, file.data() + kFirmwareHeaderSize, compressed) != Z_OK;
    });
    const double crc = Best(rounds, [&] { sink = CalcCrc16(image.data(), static_cast<std::uint32_t>(size)); });
    const double crcBytewise =
        Best(rounds, [&] { sink = CalcCrc16Bytewise(image.data(), static_cast<std::uint32_t>(size)); });
    (void)sink;

    const double mib = double(size) / (1024.0 * 1024.0);
    const double floor = inflate + crc;
    std::printf("%-28s %8.2f ms %9.1f MiB/s\n", "CFirmwareImage::Load", load * 1e3, mib / load);
    std::printf("%-28s %8.2f ms %9.1f MiB/s\n", "uncompress", inflate * 1e3, mib / inflate);
    std::printf("%-28s %8.2f ms %9.1f MiB/s\n", "CalcCrc16 (8 bytes a step)", crc * 1e3, mib / crc);
    std::printf("%-28s %8.2f ms %9.1f MiB/s\n", "CalcCrc16 (byte a step)", crcBytewise * 1e3, mib / crcBytewise);
    std::printf("%-28s %8.2f ms %9.1f MiB/s\n", "floor: uncompress + CRC", floor * 1e3, mib / floor);
    std::printf("loader / floor = %.3f (goal <= 1.2)\n", load / floor);
    if (failures)
        std::printf("%d operations failed\n", failures);
    return failures ? 1 : 0;
}
