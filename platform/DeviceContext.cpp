#include "platform/DeviceContext.h"

#include <map>
#include <mutex>

namespace {
// Pages of several days are printed to PDF on threads of their own at once.
std::mutex g_tableMutex;
std::map<HDC_HANDLE, CDeviceContextTarget>& Table() {
    static std::map<HDC_HANDLE, CDeviceContextTarget> s_table;
    return s_table;
}
HDC_HANDLE g_nNextHandle = 0x100;
} // namespace

HDC_HANDLE RegisterDeviceContext(const CDeviceContextTarget& target) {
    const std::lock_guard<std::mutex> lock(g_tableMutex);
    const HDC_HANDLE hDC = g_nNextHandle;
    g_nNextHandle = g_nNextHandle >= 0x7FFFFF00 ? 0x100 : g_nNextHandle + 4;
    Table()[hDC] = target;
    return hDC;
}

void UnregisterDeviceContext(HDC_HANDLE hDC) {
    const std::lock_guard<std::mutex> lock(g_tableMutex);
    Table().erase(hDC);
}

bool ResolveDeviceContext(HDC_HANDLE hDC, CDeviceContextTarget* pTarget) {
    const std::lock_guard<std::mutex> lock(g_tableMutex);
    const auto it = Table().find(hDC);
    if (it == Table().end()) {
        return false;
    }
    *pTarget = it->second;
    return true;
}
