#pragma once
// The private profile functions, on a path, with the Windows behaviour the system relies on
// (see ProfileFile.h for the reading rules). Each call loads the file and, for a write,
// saves it atomically; to read or write many keys, use one ProfileFile instead.
#include "platform/WinTypes.h"

#include <string>
#include <string_view>

// The value of key in section as an integer; defaultValue when the file, the section or the
// key is missing or the value is empty. Text that is not a number reads as 0.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const std::string& path);

// The trimmed value of key in section, or defaultValue.
std::string GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                    const std::string& path);

// The same into a buffer of size characters: the text is cut to size - 1 characters and
// always terminated. Returns the number of characters copied, without the terminator.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const std::string& path);

// Sets key=value in section, creating the file and the section as needed. A null value
// deletes the key, a null key deletes the whole section. Returns FALSE when the file could not
// be written (or exists but could not be read: it is then left alone).
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const std::string& path);

// The application's profile file: <baseName>.ini in $XDG_CONFIG_HOME (default ~/.config), the
// folder standing in for the Windows folder. The folder is created when missing.
std::string ApplicationProfilePath(std::string_view baseName);
// The same with the base name of the running executable (QCoreApplication).
std::string ApplicationProfilePath();
