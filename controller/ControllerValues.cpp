#include "controller/ControllerValues.h"

#include "platform/ProfileFile.h"
#include "settings/FirmwareUrl.h"

ControllerValues::ControllerValues() : strFirmwareUrl(kDefaultFirmwareUrl) {}

void ControllerValues::Read(const ProfileFile& f)
{
    const ControllerValues d;
    nDeviceKind = f.GetInt(kControllerSection, "Device", d.nDeviceKind);
    nPosition = f.GetInt(kControllerSection, "Position", d.nPosition);
    bReverse = f.GetInt(kControllerSection, "Reverse", d.bReverse);
    bAlwaysOnTop = f.GetInt(kControllerSection, "AlwaysOnTop", d.bAlwaysOnTop);
    bModified = f.GetInt(kControllerSection, "Modified", d.bModified);
    strFirmwareUrl = f.GetString(kControllerSection, "URL", d.strFirmwareUrl);
}

void ControllerValues::Write(ProfileFile& f) const
{
    f.SetInt(kControllerSection, "Device", nDeviceKind);
    f.SetInt(kControllerSection, "Position", nPosition);
    f.SetInt(kControllerSection, "Reverse", bReverse);
    f.SetInt(kControllerSection, "AlwaysOnTop", bAlwaysOnTop);
    f.SetInt(kControllerSection, "Modified", bModified);
    f.SetString(kControllerSection, "URL", strFirmwareUrl);
}
