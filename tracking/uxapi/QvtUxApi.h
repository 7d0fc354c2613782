#pragma once
// The speakerphone USB library (libQVTUXAPI.so): the three operations the tracking worker
// uses to ask a QVT-90UX for the talker direction. Loaded at run time with dlopen, so the
// worker holds pointers of the types below.
#include <cstdint>

extern "C" {

typedef void* UXHANDLE;

// Opens the first speakerphone (bus and index 0). On success a nonzero handle, and version
// (16 bytes) holds the speakerphone's version text ("1.32", NUL-terminated); 0 on failure.
UXHANDLE UxOpen(int bus, int index, char* version);

// Request kUxRequestDirection with buffer[0] = kUxDirectionQuery: 0 on success with the
// talker direction (0..5, 255 none) in buffer[1]; nonzero on failure (bad request, the
// speakerphone gone). buffer is 4 bytes.
int UxRequest(UXHANDLE handle, int request, unsigned char* buffer);

// Closes a handle from UxOpen. Always 0.
int UxClose(UXHANDLE handle);

}

constexpr int kUxRequestDirection = 0x31;
constexpr unsigned char kUxDirectionQuery = 0x43;
constexpr int kUxVersionSize = 16;

using UxOpenFn = UXHANDLE (*)(int, int, char*);
using UxRequestFn = int (*)(UXHANDLE, int, unsigned char*);
using UxCloseFn = int (*)(UXHANDLE);
