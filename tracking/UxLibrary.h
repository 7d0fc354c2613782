#pragma once
// Loads the speakerphone USB library (libQVTUXAPI.so) when a QVT-90UX worker starts.
#include "tracking/uxapi/QvtUxApi.h"

#include <string>

class UxLibrary
{
public:
    UxLibrary() = default;
    ~UxLibrary();
    UxLibrary(const UxLibrary&) = delete;
    UxLibrary& operator=(const UxLibrary&) = delete;

    // Looks in $QVT_VZ1_UXAPI (a full path), then the program's folder, then the folder it
    // is installed to (<libdir>/qvt-vz1-controller), then the dynamic linker's search path. False when not found or an operation is missing.
    bool Load();

    UxOpenFn open = nullptr;
    UxRequestFn request = nullptr;
    UxCloseFn close = nullptr;

private:
    bool LoadFrom(const std::string& path);

    void* m_handle = nullptr;
};

constexpr const char* kUxLibraryName = "libQVTUXAPI.so";
