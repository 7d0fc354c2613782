#pragma once
// How the speakerphone USB library reaches its QVT-90UX: the speakerphone (the simulator's
// virtual QVT-90UX) keeps a small record in a file that both map. The library reads it;
// only the speakerphone writes it.
//
// File: $QVT_VZ1_90UX_LINK, else SpeakerphoneRuntimeDir()/qvt-90ux.
// The speakerphone is attached while the file exists, its owner process lives and
// attached is 1.
#include <atomic>
#include <cstdint>
#include <string>

struct UxDeviceRecord
{
    static constexpr std::uint32_t kMagic = 0x58555651;  // "QVUX"

    std::uint32_t magic;
    std::int32_t ownerPid;
    std::atomic<std::uint32_t> attached;
    // Odd while the version text is being rewritten; readers retry.
    std::atomic<std::uint32_t> versionSequence;
    char version[16];
    std::atomic<std::uint8_t> direction;  // 0..5, 255 none
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint8_t>::is_always_lock_free);

// Path of the record file.
std::string UxDeviceLinkPath();

// Where virtual speakerphones announce themselves: $XDG_RUNTIME_DIR/qvt-vz1, or
// /tmp/qvt-vz1-<uid> without a runtime folder.
std::string SpeakerphoneRuntimeDir();
