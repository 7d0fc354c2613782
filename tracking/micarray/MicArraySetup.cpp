#include "tracking/micarray/MicArraySetup.h"

#include "platform/ProfileFile.h"

namespace {

int WrapDegrees(int degrees)
{
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

} // namespace

void MicArraySetup::Read(const ProfileFile& f)
{
    const MicArraySetup d;
    device = f.GetString(kMicArraySection, "Device", d.device);
    geometry = f.GetString(kMicArraySection, "Geometry", d.geometry);
    nZeroAngle = WrapDegrees(f.GetInt(kMicArraySection, "Zero", d.nZeroAngle));
}

void MicArraySetup::Write(ProfileFile& f) const
{
    f.SetString(kMicArraySection, "Device", device);
    f.SetString(kMicArraySection, "Geometry", geometry);
    f.SetInt(kMicArraySection, "Zero", WrapDegrees(nZeroAngle));
}
