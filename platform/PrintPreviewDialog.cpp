#include "platform/PrintPreviewDialog.h"

#include "platform/ModalSeam.h"
#include "platform/PrinterDC.h"
#include "platform/Wnd.h"

#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
constexpr const char* PREVIEW_TITLE = "Print Preview";

QPageLayout::Orientation OrientationOf(bool bLandscape) {
    return bLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}
} // namespace

CPrintPreviewDialog::CPrintPreviewDialog(PaintFn fnPaint, CWnd* pParentWnd)
    : m_fnPaint(std::move(fnPaint)), m_pParentWnd(pParentWnd) {}

INT_PTR CPrintPreviewDialog::DoModal() {
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    CModalRequest request;
    request.eKind = EModalKind::PrintPreview;
    request.strTitle = PREVIEW_TITLE;
    request.pOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    if (const auto answer = AskModalHook(request)) {
        if (!answer->strPath.empty()) {
            auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
            pPrinter->setOutputFormat(QPrinter::PdfFormat);
            pPrinter->setOutputFileName(QString::fromStdString(answer->strPath));
            pPrinter->setPageOrientation(OrientationOf(m_bLandscape));
            m_fnPaint(std::make_unique<CQtPrinterDC>(std::move(pPrinter)));
        }
        return answer->nResult;
    }
    if (RefuseUnansweredModal(request)) {
        return IDCANCEL;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(OrientationOf(m_bLandscape));
    QPrintPreviewDialog dialog(&printer, request.pOwner);
    dialog.setWindowTitle(QString::fromLatin1(PREVIEW_TITLE));
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [this](QPrinter* pPrinter) { m_fnPaint(std::make_unique<CQtPrinterDC>(pPrinter)); });
    const int nResult = dialog.exec();
    m_bLandscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    return nResult == QDialog::Accepted ? IDOK : IDCANCEL;
}
