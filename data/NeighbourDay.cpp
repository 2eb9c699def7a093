#include "data/NeighbourDay.h"

#include "data/FileDate.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {
// Where a file stands among the days of its folder: dated files by date, then by name; undated
// ones by name alone. The exact name last, so that two names differing only in case still differ.
struct CDayKey {
    bool bDated = false;
    int nDate = 0; // YYYYMMDD
    std::string strFolded;
    std::string strName;

    [[nodiscard]] auto Tied() const { return std::tie(nDate, strFolded, strName); }
    bool operator<(const CDayKey& other) const { return Tied() < other.Tied(); }
    bool operator==(const CDayKey& other) const { return Tied() == other.Tied(); }
};

std::string Folded(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return str;
}

CDayKey KeyOf(const std::string& strName) {
    CDayKey key;
    if (const std::optional<CFileDate> date = FileDateOf(strName)) {
        key.bDated = true;
        key.nDate = date->nYear * 10000 + date->nMonth * 100 + date->nDay;
    }
    key.strFolded = Folded(strName);
    key.strName = strName;
    return key;
}

bool IsDayFileName(const std::string& strName) {
    const std::string strFolded = Folded(strName);
    return strFolded.size() > 4 && strFolded.compare(strFolded.size() - 4, 4, ".vks") == 0;
}
} // namespace

std::string NeighbourDay(const std::string& strCurrent, int nStep) {
    const fs::path current(strCurrent);
    const std::string strOwnName = current.filename().string();
    if (strOwnName.empty() || nStep == 0) {
        return {};
    }
    const CDayKey here = KeyOf(strOwnName);
    fs::path folder = current.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::optional<CDayKey> best;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        std::error_code ecType;
        if (!IsDayFileName(strName) || !it->is_regular_file(ecType)) {
            continue;
        }
        const CDayKey key = KeyOf(strName);
        if (key.bDated != here.bDated || key == here) {
            continue;
        }
        const bool bBeyond = nStep > 0 ? here < key : key < here;
        if (bBeyond && (!best || (nStep > 0 ? key < *best : *best < key))) {
            best = key;
        }
    }
    if (!best) {
        return {};
    }
    // In the folder as the caller wrote it, with the caller's separators.
    return strCurrent.substr(0, strCurrent.size() - strOwnName.size()) + best->strName;
}

bool IsLatestDay(const std::string& strCurrent) {
    return NeighbourDay(strCurrent, +1).empty();
}
