#include "data/NextDayFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string Folded(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return str;
}
} // namespace

std::string NextDayFile(const std::string& strCurrent) {
    const fs::path current(strCurrent);
    const std::string strCurrentName = Folded(current.filename().string());
    std::error_code ec;
    const auto currentTime = fs::last_write_time(current, ec);
    const bool bCurrentTime = !ec;
    std::string strBest;
    std::string strBestName;
    fs::path folder = current.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string strName = Folded(path.filename().string());
        if (strName.size() < 4 || strName.compare(strName.size() - 4, 4, ".vks") != 0 ||
            path.filename() == current.filename() || !it->is_regular_file(ec)) {
            continue;
        }
        bool bLater = strName > strCurrentName;
        if (strName == strCurrentName && bCurrentTime) {
            std::error_code ecTime;
            const auto time = fs::last_write_time(path, ecTime);
            bLater = !ecTime && time > currentTime;
        }
        if (bLater && (strBest.empty() || strName > strBestName)) {
            // In the folder as the caller wrote it, with the caller's separators.
            const std::string strOwnName = current.filename().string();
            strBest = strCurrent.substr(0, strCurrent.size() - strOwnName.size()) +
                      path.filename().string();
            strBestName = strName;
        }
    }
    return strBest;
}
