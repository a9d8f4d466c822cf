// The Win32 integer types of the pure routines that read camera and
// driver data. On Windows they come from <windows.h>; elsewhere (the
// native fuzzing build) they are fixed-width types of the same sizes, so
// those routines compile and run unchanged without the system headers.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t UINT;
typedef std::int32_t BOOL;
typedef std::uint64_t ULONGLONG;
typedef std::uintptr_t UINT_PTR;
typedef void* HWND;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define WINAPI
#endif
