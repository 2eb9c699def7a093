#pragma once
// CRecentFilesMenu: File > Recent files, the last MAX_RECENT_FILES files the user opened, newest
// first, numbered as the framework numbers them ("&1 path"), each sending its command
// (ID_FILE_RECENT_FIRST for the newest). The list is the settings key's (settings/RecentFiles.h):
// loaded when the window is made, saved at each change, so a second viewer sees it at its start.

#include "platform/Outcome.h"
#include "platform/WinTypes.h"
#include "settings/RecentFiles.h"

#include <optional>
#include <string>

class CDialog;
class QMenu;

class CRecentFilesMenu {
public:
    // Finds the pop-up that holds ID_FILE_RECENT_FIRST on window's menu bar and fills it.
    explicit CRecentFilesMenu(CDialog& window);

    // The file of command nID, when it is one of the list's.
    [[nodiscard]] std::optional<std::string> PathOf(UINT nID) const;
    // strPath to the top, or off the list; both save at once and say why a save failed.
    COutcome Add(const std::string& strPath);
    COutcome Remove(const std::string& strPath);
    [[nodiscard]] const CRecentFiles& Files() const { return m_files; }

private:
    void Rebuild();

    CDialog& m_window;
    QMenu* m_pMenu = nullptr;
    CRecentFiles m_files;
};
