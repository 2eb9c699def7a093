#include "platform/PrintDialog.h"

#include "platform/ModalSeam.h"
#include "platform/PrinterDC.h"
#include "platform/Wnd.h"

#include <QPrintDialog>
#include <QPrinter>

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : m_bPrintSetupOnly(bPrintSetupOnly), m_pParentWnd(pParentWnd) {
    m_pd.Flags = dwFlags | PD_RETURNDC;
}

CPrintDialog::~CPrintDialog() = default;

INT_PTR CPrintDialog::DoModal() {
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();

    CModalRequest request;
    request.eKind = EModalKind::PrintDialog;
    request.strTitle = "Print";
    request.dwFlags = m_pd.Flags;
    request.pOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    if (const auto answer = AskModalHook(request)) {
        if (answer->nResult != IDOK) {
            m_pPrinter.reset();
            return answer->nResult;
        }
        if (!answer->strPath.empty()) {
            m_pPrinter->setOutputFormat(QPrinter::PdfFormat);
            m_pPrinter->setOutputFileName(QString::fromStdString(answer->strPath));
        }
        return IDOK;
    }
    if (RefuseUnansweredModal(request)) {
        m_pPrinter.reset();
        return IDCANCEL;
    }

    QPrintDialog dialog(m_pPrinter.get(), request.pOwner);
    // Page ranges and the selection are not offered. The "print to file" choice stays: on
    // platforms without a spooler's file port it is the PDF printer, often the only one there.
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if ((m_pd.Flags & PD_USEDEVMODECOPIES) == 0) {
        options |= QAbstractPrintDialog::PrintCollateCopies;
    }
    if ((m_pd.Flags & PD_NOPAGENUMS) == 0) {
        options |= QAbstractPrintDialog::PrintPageRange;
    }
    if ((m_pd.Flags & PD_NOSELECTION) == 0) {
        options |= QAbstractPrintDialog::PrintSelection;
    }
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) {
        m_pPrinter.reset();
        return IDCANCEL;
    }
    m_pd.nCopies = static_cast<WORD>(m_pPrinter->copyCount());
    return IDOK;
}

std::unique_ptr<CPrinterDC> CPrintDialog::GetPrinterDC() {
    if (!m_pPrinter) {
        return nullptr;
    }
    return std::make_unique<CQtPrinterDC>(std::move(m_pPrinter));
}
