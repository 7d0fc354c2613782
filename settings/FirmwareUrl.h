#pragma once
// The built-in firmware download address: the "Default" of the settings dialog and the
// default of the profile's "URL" value.
inline constexpr const char* kDefaultFirmwareUrl =
    "https://firmware.qvt-vz1.example.org/sonvara/download/firm/qvtvz1/QVTVZ1-2.BIN";
