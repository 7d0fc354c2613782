// Writes a firmware file the virtual camera accepts, for bench/soak's updates:
//   qvt-soak-firmware FILE VERSION [PAYLOAD_BYTES (20000)]
#include "tests/firmware/FirmwareFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3 || std::string(argv[2]).empty() || std::string(argv[2]).size() > 8) {
        std::fprintf(stderr, "usage: qvt-soak-firmware FILE VERSION(1..8 characters) [PAYLOAD_BYTES]\n");
        return 2;
    }
    const std::size_t payload = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20000;
    const Bytes file = MakeFirmwareFile(MakeCameraImage(argv[2], payload), argv[2]);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
