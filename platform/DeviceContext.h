#pragma once
// Device-context handles. The chart's draw method receives a device context as a 32-bit handle,
// as on Windows; here a handle names a QPainter (with the device's resolution) registered by
// whoever owns the painter, such as the printer stand-in or the exporter.

#include "platform/WinTypes.h"

class QPainter;

using HDC_HANDLE = LONG;

struct CDeviceContextTarget {
    QPainter* pPainter = nullptr;
    double dDpiX = 96.0; // device pixels per inch across
    double dDpiY = 96.0; // and down
};

// Registers a painter and returns its handle (never 0).
[[nodiscard]] HDC_HANDLE RegisterDeviceContext(const CDeviceContextTarget& target);
void UnregisterDeviceContext(HDC_HANDLE hDC);
// False for a handle that is not (or no longer) registered.
[[nodiscard]] bool ResolveDeviceContext(HDC_HANDLE hDC, CDeviceContextTarget* pTarget);
