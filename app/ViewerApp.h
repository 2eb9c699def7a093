#pragma once
// CViewerApp: the application object. InitInstance works out which data file to show (the one on
// the command line, already in g_CmdInfo, or one the user picks in the Open dialog), then runs the
// main window modally; the program ends when it closes. It returns FALSE on every path: there is
// no message loop after the window. Started with --archive, it first shows the archive overview
// and takes the first day opened there as the file to show.

#include "platform/WinTypes.h"

#include <string>

// Writes one report line to standard error, behind the program's name: the program has no log,
// and messages that need no dialog go there.
void ReportLine(const std::string& strLine);

class CEarlyDay;

class CViewerApp {
public:
    CViewerApp() = default;
    CViewerApp(const CViewerApp&) = delete;
    CViewerApp& operator=(const CViewerApp&) = delete;

    // pEarlyDay: the command line's file, already being read into g_Samples, or null.
    BOOL InitInstance(CEarlyDay* pEarlyDay = nullptr);

    // quillon --archive [FOLDER]: InitInstance opens the overview of the folder (empty: the
    // default one) instead of asking for a file; the main window comes with the first day opened
    // from it, and the program ends when the overview is closed before that.
    void StartWithArchive(std::string strFolder) {
        m_bArchiveStart = true;
        m_strArchiveFolder = std::move(strFolder);
    }

    // The process's exit status: 1 after a start-up file that could not be opened, else 0.
    [[nodiscard]] int GetExitCode() const { return m_nExitCode; }

private:
    int m_nExitCode = 0;
    bool m_bArchiveStart = false;
    std::string m_strArchiveFolder;
};
