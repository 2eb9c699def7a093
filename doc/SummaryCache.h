#pragma once
// CSummaryCache: the summaries of a folder's days kept between runs, so that a second look at a
// year reads only the days that changed. One file per data folder, in a cache folder the caller
// names (the user's cache folder; never the logger's own), holding for each day file its name,
// size and time and the summary made of it with one set of alarm levels.
//
// A summary is used only while its file keeps the size and time it had when it was read. The
// cache is written whole or not at all (platform/AtomicFile.h). A cache file that is missing, cut
// short, damaged (its checksum disagrees), of another format version, or made for another folder
// or with other levels is not trusted: the cache starts empty and is written anew.
//
// The format (little-endian): "QSUMCACH", the format version, the folder, the levels, the count,
// the days, and an FNV-1a checksum of everything before it.

#include "data/DaySummary.h"
#include "platform/Outcome.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Changes whenever the file's layout or the meaning of a summary changes (the alarm rule, the
// coverage rule...): caches of another version are rebuilt.
constexpr std::uint32_t SUMMARY_CACHE_VERSION = 2; // 2: the all-clear alarm rule

class CSummaryCache {
public:
    // The cache file of strDataFolder (made canonical first) in strCacheFolder.
    [[nodiscard]] static std::string FileFor(const std::string& strCacheFolder,
                                             const std::string& strDataFolder);

    // Reads the cache of strDataFolder made with levels. False, with the cache empty, when there
    // is none to trust.
    bool Load(const std::string& strCacheFolder, const std::string& strDataFolder,
              const CSummaryLevels& levels);
    // Writes the cache whole, making the cache folder when it is missing.
    COutcome Save(const std::string& strCacheFolder, const std::string& strDataFolder,
                  const CSummaryLevels& levels) const;

    // The summary of the file of that name when it still has that size and time; null otherwise.
    [[nodiscard]] const CDaySummary* Find(const std::string& strName, std::uint64_t nSize,
                                          std::int64_t nModified) const;
    void Put(const std::string& strName, std::uint64_t nSize, std::int64_t nModified,
             const CDaySummary& summary);
    // Forgets every file not named: files gone from the folder.
    void Retain(const std::vector<std::string>& names);
    [[nodiscard]] std::size_t Size() const { return m_days.size(); }

    // The file's bytes, and reading them back (false, with the cache empty, for anything that is
    // not a cache of that folder and those levels).
    [[nodiscard]] std::string Serialise(const std::string& strFolderKey,
                                        const CSummaryLevels& levels) const;
    bool Parse(std::string_view bytes, const std::string& strFolderKey,
               const CSummaryLevels& levels);

private:
    struct CEntry {
        std::uint64_t nSize = 0;
        std::int64_t nModified = 0;
        CDaySummary summary;
    };
    std::map<std::string, CEntry> m_days; // by file name
};
