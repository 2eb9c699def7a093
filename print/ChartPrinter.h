#pragma once
// Prints the chart on one page of a printer device context. File > Print and `--export page.pdf`
// both run this, so the printed page and the exported PDF are the same page.
//
// Flow of one job: StartDoc -> OnBeginPrinting (range 1 to 1) -> for the page: StartPage,
// OnPrint (print colours, caption label, chart method 140 at the placement, screen colours
// back, then the page's notes above the chart), EndPage -> OnEndPrinting -> EndDoc, or AbortDoc
// when anything failed -> the device context is deleted.
//
// The notes say what the page shows, beside the caption (the data file's path) and without
// moving it: the day's date from the file's name and the span of the day shown.

#include "platform/WinTypes.h"

#include <memory>
#include <string>
#include <vector>

class CPrinterDC;
class CStrip;
struct CChartState;
struct CPrintPlacement;

// The page range of a job.
struct CPrintInfo {
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
    UINT m_nCurPage = 1;
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    [[nodiscard]] UINT GetMinPage() const { return m_nMinPage; }
    [[nodiscard]] UINT GetMaxPage() const { return m_nMaxPage; }
};

// The job's document name. The application-title string the name would come from is not in the
// program's string table, so the job carries the program's name.
constexpr const char* PRINT_JOB_NAME = "Quillon";

// What a page without a date in its file's name says instead of one: a date is never guessed.
constexpr const char* NO_FILE_DATE = "date not in file name";

// The lines printed above the chart for the day in strPath as state shows it: the date (or
// NO_FILE_DATE) and the span shown, "2004-01-01, 14:00:00 to 17:00:00".
[[nodiscard]] std::vector<std::string> PageNoteLines(const std::string& strPath,
                                                     const CChartState& state);

class CChartPrinter {
public:
    // strCaption: the data file's path, shown as the page's caption.
    CChartPrinter(CStrip& chart, std::string strCaption);

    // Runs the whole job on pDC and deletes it. True when the job started and every page ended
    // in order (the job was ended, not aborted).
    bool PrintOnDC(std::unique_ptr<CPrinterDC> pDC);

    void OnBeginPrinting(CPrinterDC& dc, CPrintInfo& info);
    void OnPrint(CPrinterDC& dc, CPrintInfo& info);
    void OnEndPrinting(CPrinterDC& dc, CPrintInfo& info);

private:
    void DrawNotes(CPrinterDC& dc, const CPrintPlacement& placement) const;

    CStrip& m_chart;
    std::string m_strCaption;
};
