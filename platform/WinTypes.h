#pragma once
// The handful of Windows base types the program's code is written in. On Windows they come from
// <windows.h>; elsewhere these definitions take their place with the same sizes and meanings.

#include <cstdint>

#ifdef _WIN32
// std::min and std::max, not the macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <olectl.h> // the stock property DISPIDs
#include <windows.h>
#else
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using ULONG = std::uint32_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using COLORREF = DWORD;
using DISPID = LONG;
using HRESULT = LONG;
using INT_PTR = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);

// IDispatch::Invoke flags, as the wrapper passes them.
constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;

// Stock property DISPIDs the chart wrapper uses.
constexpr DISPID DISPID_BACKCOLOR = -501;
constexpr DISPID DISPID_CAPTION = -518;
constexpr DISPID DISPID_CLICK = -600;
constexpr DISPID DISPID_DBLCLICK = -601;

// Message-box and dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr UINT MB_OK = 0x0;
#endif
