#pragma once
// Where the running controller answers on the session bus, and the names of its refusals.
namespace remote {

inline constexpr const char* kService = "org.qvtvz1.Controller";
inline constexpr const char* kPath = "/org/qvtvz1/Controller";
inline constexpr const char* kInterface = "org.qvtvz1.Controller1";

// Error names: kErrorPrefix + one of the suffixes below.
inline constexpr const char* kErrorPrefix = "org.qvtvz1.Controller1.Error.";
inline constexpr const char* kNoCamera = "NoCamera";
inline constexpr const char* kNotInThisMode = "NotInThisMode";
inline constexpr const char* kInvalidArgument = "InvalidArgument";
inline constexpr const char* kBusy = "Busy";
inline constexpr const char* kFileError = "FileError";
inline constexpr const char* kInvalidFile = "InvalidFile";
inline constexpr const char* kUpdateFailed = "UpdateFailed";

// A held remote drive lasts at most this long.
inline constexpr unsigned kMaxDriveMs = 10000;

} // namespace remote
