#include "data/NextDayFile.h"

#include "data/FileDate.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string Folded(std::string str) {
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return str;
}

// A name's date and the pattern around it: the folded text before and after, and the length.
struct CDatedName {
    CFileDate date;
    std::string strBefore;
    std::string strAfter;
    std::size_t nLength = 0;

    [[nodiscard]] bool SamePattern(const CDatedName& other) const {
        return nLength == other.nLength && strBefore == other.strBefore &&
               strAfter == other.strAfter;
    }
};

std::optional<CDatedName> DatedName(const std::string& strName) {
    const std::optional<CFileDateMatch> match = FindFileDate(strName);
    if (!match) {
        return std::nullopt;
    }
    return CDatedName{match->date, Folded(strName.substr(0, match->nOffset)),
                      Folded(strName.substr(match->nOffset + match->nLength)), match->nLength};
}
} // namespace

std::string NextDayFile(const std::string& strCurrent) {
    const fs::path current(strCurrent);
    const std::optional<CDatedName> currentName = DatedName(current.filename().string());
    if (!currentName) {
        return {};
    }
    fs::path folder = current.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string strBest;
    std::optional<CFileDate> best;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        const std::optional<CDatedName> name = DatedName(strName);
        std::error_code ecType;
        if (!name || !name->SamePattern(*currentName) || !LaterDay(name->date, currentName->date) ||
            (best && !LaterDay(name->date, *best)) || !it->is_regular_file(ecType)) {
            continue;
        }
        // In the folder as the caller wrote it, with the caller's separators.
        const std::string strOwnName = current.filename().string();
        strBest = strCurrent.substr(0, strCurrent.size() - strOwnName.size()) + strName;
        best = name->date;
    }
    return strBest;
}
