#pragma once
// The parsed command line, kept for the whole run as g_CmdInfo (app/Globals.h), with its file name
// as g_strDataFile. Start-up fills it from the command line or from the Open dialog and gives the
// main window the file to show first. File > Open never changes it.

#include <string>

class CCommandLineInfo {
public:
    // The shell commands the program tells apart; FileOpen means: show the named file.
    enum { FileNew = 0, FileOpen = 1, FilePrint = 2, FileNothing = 5 };

    int m_nShellCommand = FileNew;
    std::string m_strFileName;
};
