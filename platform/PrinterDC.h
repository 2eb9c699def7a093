#pragma once
// The printer device context, as the printing code drives it: StartDoc, StartPage, EndPage,
// EndDoc, AbortDoc and GetDeviceCaps, with a handle the chart's draw method resolves to a
// painter. CPrinterDC is the interface (tests make its calls fail); CQtPrinterDC runs it on a
// QPrinter through a QPainter, for a real printer and for PDF files alike.

#include "platform/DeviceContext.h"
#include "platform/WinTypes.h"

#include <memory>
#include <string>

class QPainter;
class QPrinter;

// GetDeviceCaps indexes the program uses.
constexpr int HORZSIZE = 4; // printable width in millimetres
constexpr int VERTSIZE = 6; // printable height in millimetres

struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;
    LPCSTR lpszDatatype;
    DWORD fwType;
};

class CPrinterDC {
public:
    virtual ~CPrinterDC() = default;
    virtual int StartDoc(const DOCINFOA* pDocInfo) = 0; // job identifier > 0 on success
    virtual int StartPage() = 0;
    virtual int EndPage() = 0; // > 0 on success
    virtual int EndDoc() = 0;
    virtual int AbortDoc() = 0;
    [[nodiscard]] virtual int GetDeviceCaps(int nIndex) const = 0;
    [[nodiscard]] virtual HDC_HANDLE GetSafeHdc() const = 0;
    // Marks the context as a printer context (the framework's m_bPrinting); informational here.
    void SetPrinting(bool bPrinting) { m_bPrinting = bPrinting; }
    [[nodiscard]] bool IsPrinting() const { return m_bPrinting; }

private:
    bool m_bPrinting = false;
};

class CQtPrinterDC : public CPrinterDC {
public:
    // Takes ownership of the printer. For PDF output, an aborted job removes the file.
    explicit CQtPrinterDC(std::unique_ptr<QPrinter> pPrinter);
    // On a printer someone else owns and keeps beyond the context (a print preview's).
    explicit CQtPrinterDC(QPrinter* pBorrowed);
    ~CQtPrinterDC() override;
    CQtPrinterDC(const CQtPrinterDC&) = delete;
    CQtPrinterDC& operator=(const CQtPrinterDC&) = delete;

    int StartDoc(const DOCINFOA* pDocInfo) override;
    int StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int AbortDoc() override;
    [[nodiscard]] int GetDeviceCaps(int nIndex) const override;
    [[nodiscard]] HDC_HANDLE GetSafeHdc() const override { return m_hDC; }

    [[nodiscard]] QPrinter* Printer() const { return m_pPrinter; }

private:
    void ReleaseHandle();

    std::unique_ptr<QPrinter> m_pOwned; // null for a borrowed printer
    QPrinter* m_pPrinter = nullptr;
    std::unique_ptr<QPainter> m_pPainter;
    HDC_HANDLE m_hDC = 0;
    int m_nPagesStarted = 0;
};
