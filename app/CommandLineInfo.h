#pragma once
// The parsed command line, kept for the whole run: g_CmdInfo, with g_strDataFile as its file
// name. The start-up fills it from the command line or from the Open dialog; the main window reads
// g_strDataFile for its title and its first load. File > Open never changes it.

#include <string>

class CCommandLineInfo {
public:
    // The shell commands the program tells apart; FileOpen means: show the named file.
    enum { FileNew = 0, FileOpen = 1, FilePrint = 2, FileNothing = 5 };

    int m_nShellCommand = FileNew;
    std::string m_strFileName;
};

extern CCommandLineInfo g_CmdInfo;
extern std::string& g_strDataFile;
