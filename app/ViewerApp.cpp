#include "app/ViewerApp.h"

#include "app/Globals.h"
#include "platform/Dialog.h"
#include "ui/ChooseDataFile.h"
#include "ui/ViewerDlg.h"

#include <iostream>

void ReportLine(const std::string& strLine) {
    std::cerr << "quillon: " << strLine << std::endl;
}

BOOL CViewerApp::InitInstance(CEarlyDay* pEarlyDay) {
    m_nExitCode = 0;
    // No component system here: the embedding and automation starts do not exist, and the
    // chart needs no libraries to be started.
    if (g_CmdInfo.m_nShellCommand != CCommandLineInfo::FileOpen) {
        const std::optional<std::string> strPath = ChooseDataFile();
        if (!strPath) {
            return FALSE;
        }
        g_strDataFile = *strPath;
        g_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
    }

    CViewerDlg dlg(
        CViewerContext{g_Chart, g_Settings, g_Samples, g_strDataFile, ReportLine, pEarlyDay});
    AfxSetMainWnd(&dlg);
    (void)dlg.DoModal();
    AfxSetMainWnd(nullptr);

    int nQuitCode = 0;
    if (PeekQuitMessage(&nQuitCode)) {
        m_nExitCode = 1; // the start-up file could not be opened
    }
    return FALSE;
}
