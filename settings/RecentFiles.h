#pragma once
// CRecentFiles: the data files last opened, newest first, for File > Recent files. Kept in the
// program's settings key beside the placement, as text values "Recent File 1" (the newest) to
// "Recent File 8"; an empty or absent value is an empty place.
//
// Several viewers may run at once: like the view options, a save writes only the places whose
// path changed since the list was loaded or last saved.

#include "platform/Outcome.h"

#include <string>
#include <vector>

constexpr int MAX_RECENT_FILES = 8;
// The name of place nPlace (1 for the newest).
[[nodiscard]] std::string RecentFileValueName(int nPlace);

class CRecentFiles {
public:
    // Reads the list; places that are empty or repeat an earlier path are passed over.
    void Load();
    // Puts strPath first, moving it up when it is listed already; the ninth drops off.
    void Add(const std::string& strPath);
    // Takes strPath out of the list; false when it was not in it.
    bool Remove(const std::string& strPath);
    [[nodiscard]] const std::vector<std::string>& Paths() const { return m_paths; }
    // Writes the places that changed as one save; on failure the message says why.
    COutcome Save();

private:
    std::vector<std::string> m_paths;  // newest first, at most MAX_RECENT_FILES
    std::vector<std::string> m_stored; // as last loaded or saved
};
