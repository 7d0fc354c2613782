#pragma once
// The few Windows-style scalar types the system's interfaces are written in.
#include <cstdint>

class QObject;

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A "window handle" is the QObject that receives the window messages.
using HWND = QObject*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
