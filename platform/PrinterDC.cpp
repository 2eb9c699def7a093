#include "platform/PrinterDC.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {
int g_nNextJobId = 1;
}

CQtPrinterDC::CQtPrinterDC(std::unique_ptr<QPrinter> pPrinter)
    : m_pOwned(std::move(pPrinter)), m_pPrinter(m_pOwned.get()) {}

CQtPrinterDC::CQtPrinterDC(QPrinter* pBorrowed) : m_pPrinter(pBorrowed) {}

CQtPrinterDC::~CQtPrinterDC() {
    // Deleting a context with a job still open abandons the job.
    if (m_pPainter && m_pPainter->isActive()) {
        AbortDoc();
    }
    ReleaseHandle();
}

void CQtPrinterDC::ReleaseHandle() {
    if (m_hDC != 0) {
        UnregisterDeviceContext(m_hDC);
        m_hDC = 0;
    }
}

int CQtPrinterDC::StartDoc(const DOCINFOA* pDocInfo) {
    if (m_pPrinter == nullptr || (m_pPainter && m_pPainter->isActive())) {
        return 0;
    }
    if (pDocInfo != nullptr && pDocInfo->lpszDocName != nullptr) {
        m_pPrinter->setDocName(QString::fromUtf8(pDocInfo->lpszDocName));
    }
    if (pDocInfo != nullptr && pDocInfo->lpszOutput != nullptr) {
        m_pPrinter->setOutputFileName(QString::fromUtf8(pDocInfo->lpszOutput));
    }
    m_pPainter = std::make_unique<QPainter>();
    if (!m_pPainter->begin(m_pPrinter)) {
        m_pPainter.reset();
        return 0;
    }
    CDeviceContextTarget target;
    target.pPainter = m_pPainter.get();
    target.dDpiX = m_pPrinter->logicalDpiX();
    target.dDpiY = m_pPrinter->logicalDpiY();
    m_hDC = RegisterDeviceContext(target);
    m_nPagesStarted = 0;
    const int nJob = g_nNextJobId;
    g_nNextJobId = g_nNextJobId >= 0x7FFFFFFF ? 1 : g_nNextJobId + 1;
    return nJob;
}

int CQtPrinterDC::StartPage() {
    if (!m_pPainter || !m_pPainter->isActive()) {
        return 0;
    }
    // QPainter::begin opened the first page; later pages need one.
    if (m_nPagesStarted > 0 && !m_pPrinter->newPage()) {
        return 0;
    }
    ++m_nPagesStarted;
    return 1;
}

int CQtPrinterDC::EndPage() {
    return m_pPainter && m_pPainter->isActive() ? 1 : 0;
}

int CQtPrinterDC::EndDoc() {
    if (!m_pPainter || !m_pPainter->isActive()) {
        return 0;
    }
    ReleaseHandle();
    const bool bOk = m_pPainter->end();
    m_pPainter.reset();
    return bOk ? 1 : 0;
}

int CQtPrinterDC::AbortDoc() {
    // Only a job that started may have written to the output file; one that never started must
    // not remove a file it never touched.
    const bool bStarted = m_pPainter != nullptr;
    ReleaseHandle();
    const QString strFile = m_pPrinter ? m_pPrinter->outputFileName() : QString();
    if (m_pPrinter) {
        m_pPrinter->abort();
    }
    if (m_pPainter) {
        if (m_pPainter->isActive()) {
            m_pPainter->end();
        }
        m_pPainter.reset();
    }
    // A file that would hold half a job is not left behind.
    if (bStarted && !strFile.isEmpty()) {
        QFile::remove(strFile);
    }
    return 1;
}

int CQtPrinterDC::GetDeviceCaps(int nIndex) const {
    if (m_pPrinter == nullptr) {
        return 0;
    }
    const QRectF rcPrintable = m_pPrinter->pageLayout().paintRect(QPageLayout::Millimeter);
    switch (nIndex) {
    case HORZSIZE:
        return static_cast<int>(rcPrintable.width());
    case VERTSIZE:
        return static_cast<int>(rcPrintable.height());
    default:
        return 0;
    }
}
