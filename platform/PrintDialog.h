#pragma once
// CPrintDialog: the Print dialog in the framework's shape, over QPrintDialog. The user picks a
// printer and a number of copies; the dialog hands back a printer device context for that
// printer. Every request passes the modal seam first; an answer may name a PDF file, which then
// stands for the chosen printer.

#include "platform/WinTypes.h"

#include <memory>

class CPrinterDC;
class CWnd;
class QPrinter;

#ifndef _WIN32
constexpr DWORD PD_ALLPAGES = 0x00000000;
constexpr DWORD PD_SELECTION = 0x00000001;
constexpr DWORD PD_PAGENUMS = 0x00000002;
constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_COLLATE = 0x00000010;
constexpr DWORD PD_PRINTTOFILE = 0x00000020;
constexpr DWORD PD_PRINTSETUP = 0x00000040;
constexpr DWORD PD_RETURNDC = 0x00000100;
constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

struct PRINTDLGA {
    DWORD Flags = 0;
    WORD nFromPage = 0;
    WORD nToPage = 0;
    WORD nMinPage = 0;
    WORD nMaxPage = 0;
    WORD nCopies = 1;
};
#endif

class CPrintDialog {
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                          PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK with a printer chosen, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The chosen printer's device context, once DoModal returned IDOK; the caller deletes it.
    [[nodiscard]] std::unique_ptr<CPrinterDC> GetPrinterDC();

    PRINTDLGA m_pd;

private:
    BOOL m_bPrintSetupOnly;
    CWnd* m_pParentWnd;
    std::unique_ptr<QPrinter> m_pPrinter;
};
