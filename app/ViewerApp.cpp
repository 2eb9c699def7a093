#include "app/ViewerApp.h"

#include "app/Globals.h"
#include "app/SummaryCommand.h"
#include "platform/Dialog.h"
#include "ui/ArchiveDlg.h"
#include "ui/ChooseDataFile.h"
#include "ui/ViewerDlg.h"

#include <QEventLoop>

#include <iostream>
#include <memory>

void ReportLine(const std::string& strLine) {
    std::cerr << "quillon: " << strLine << std::endl;
}

BOOL CViewerApp::InitInstance(CEarlyDay* pEarlyDay) {
    m_nExitCode = 0;
    // No component system here: the embedding and automation starts do not exist, and the
    // chart needs no libraries to be started.
    std::unique_ptr<CArchiveDlg> pArchive;
    if (m_bArchiveStart) {
        // The overview alone until a day is opened from it; it stays beside the main window.
        CArchiveContext archive;
        archive.strFolder =
            m_strArchiveFolder.empty() ? DefaultArchiveFolder({}) : m_strArchiveFolder;
        archive.strCacheFolder = SummaryCacheFolder();
        archive.levels = SummaryLevelsFromSettings();
        archive.unit = FieldUnitFromSettings();
        pArchive = std::make_unique<CArchiveDlg>(std::move(archive));
        std::optional<std::string> strChosen;
        QEventLoop loop;
        pArchive->SetOnOpenDay([&](const std::string& strPath) {
            strChosen = strPath;
            loop.quit();
        });
        pArchive->SetOnClose([&loop] { loop.quit(); });
        pArchive->show();
        loop.exec();
        pArchive->SetOnOpenDay(nullptr);
        pArchive->SetOnClose(nullptr);
        if (!strChosen) {
            return FALSE;
        }
        g_strDataFile = *strChosen;
        g_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
    }
    if (g_CmdInfo.m_nShellCommand != CCommandLineInfo::FileOpen) {
        const std::optional<std::string> strPath = ChooseDataFile();
        if (!strPath) {
            return FALSE;
        }
        g_strDataFile = *strPath;
        g_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
    }

    CViewerDlg dlg(CViewerContext{g_Chart, g_Settings, g_Samples, g_strDataFile, ReportLine,
                                  pEarlyDay, SummaryCacheFolder(), pArchive.get()});
    AfxSetMainWnd(&dlg);
    (void)dlg.DoModal();
    AfxSetMainWnd(nullptr);

    int nQuitCode = 0;
    if (PeekQuitMessage(&nQuitCode)) {
        m_nExitCode = 1; // the start-up file could not be opened
    }
    return FALSE;
}
