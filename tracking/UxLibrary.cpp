#include "tracking/UxLibrary.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

UxLibrary::~UxLibrary()
{
    if (m_handle)
        ::dlclose(m_handle);
}

bool UxLibrary::LoadFrom(const std::string& path)
{
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    auto* o = reinterpret_cast<UxOpenFn>(::dlsym(handle, "UxOpen"));
    auto* r = reinterpret_cast<UxRequestFn>(::dlsym(handle, "UxRequest"));
    auto* c = reinterpret_cast<UxCloseFn>(::dlsym(handle, "UxClose"));
    if (!o || !r || !c) {
        ::dlclose(handle);
        return false;
    }
    m_handle = handle;
    open = o;
    request = r;
    close = c;
    return true;
}

bool UxLibrary::Load()
{
    if (m_handle)
        return true;
    if (const char* path = std::getenv("QVT_VZ1_UXAPI"); path && *path)
        return LoadFrom(path);
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && LoadFrom((exe.parent_path() / kUxLibraryName).string()))
        return true;
    if (LoadFrom(std::string(QVT_UXAPI_INSTALL_DIR) + "/" + kUxLibraryName))
        return true;
    return LoadFrom(kUxLibraryName);
}
