#include "settings/RecentFiles.h"

#include "settings/RegistryKey.h"
#include "settings/ViewerSettings.h"

#include <algorithm>
#include <vector>

namespace {
// Paths may be longer than CRegistryKey::ReadString reads.
constexpr DWORD MAX_PATH_BYTES = 4096;

std::vector<std::string> ReadPlaces() {
    std::vector<std::string> places;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return places;
    }
    std::vector<BYTE> buffer(MAX_PATH_BYTES);
    for (int nPlace = 1; nPlace <= MAX_RECENT_FILES; ++nPlace) {
        DWORD dwType = REG_NONE;
        DWORD cb = MAX_PATH_BYTES;
        const LONG lStatus = RegQueryValueExA(hKey, RecentFileValueName(nPlace).c_str(), nullptr,
                                              &dwType, buffer.data(), &cb);
        std::string strPath;
        if (lStatus == ERROR_SUCCESS && dwType == REG_SZ) {
            strPath.assign(reinterpret_cast<const char*>(buffer.data()), cb);
            strPath.erase(std::find(strPath.begin(), strPath.end(), '\0'), strPath.end());
        }
        places.push_back(strPath);
    }
    RegCloseKey(hKey);
    return places;
}
} // namespace

std::string RecentFileValueName(int nPlace) {
    return "Recent File " + std::to_string(nPlace);
}

void CRecentFiles::Load() {
    m_paths.clear();
    for (const std::string& strPath : ReadPlaces()) {
        if (!strPath.empty() &&
            std::find(m_paths.begin(), m_paths.end(), strPath) == m_paths.end()) {
            m_paths.push_back(strPath);
        }
    }
    m_stored = m_paths;
}

void CRecentFiles::Add(const std::string& strPath) {
    if (strPath.empty()) {
        return;
    }
    Remove(strPath);
    m_paths.insert(m_paths.begin(), strPath);
    if (m_paths.size() > static_cast<std::size_t>(MAX_RECENT_FILES)) {
        m_paths.resize(MAX_RECENT_FILES);
    }
}

bool CRecentFiles::Remove(const std::string& strPath) {
    const auto it = std::find(m_paths.begin(), m_paths.end(), strPath);
    if (it == m_paths.end()) {
        return false;
    }
    m_paths.erase(it);
    return true;
}

COutcome CRecentFiles::Save() {
    std::vector<CRegistryKey::CValue> changed;
    const auto at = [](const std::vector<std::string>& paths, std::size_t i) {
        return i < paths.size() ? paths[i] : std::string();
    };
    for (std::size_t i = 0; i < static_cast<std::size_t>(MAX_RECENT_FILES); ++i) {
        if (at(m_paths, i) != at(m_stored, i)) {
            changed.push_back(CRegistryKey::TextValue(RecentFileValueName(static_cast<int>(i) + 1),
                                                      at(m_paths, i)));
        }
    }
    if (changed.empty()) {
        return {};
    }
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    const LONG lStatus = key.OpenKey(SETTINGS_KEY, TRUE) ? key.WriteValues(changed)
                                                         : static_cast<LONG>(ERROR_WRITE_FAULT);
    if (lStatus == ERROR_SUCCESS) {
        m_stored = m_paths;
        return {};
    }
    return COutcome::Fail("cannot save the recent files to " +
                          DescribeRegistryLocation(HKEY_CURRENT_USER) + ": " +
                          DescribeRegistryStatus(lStatus));
}
