#pragma once
// CPrintPreviewDialog: the print preview, over QPrintPreviewDialog: the page as it would print,
// with Qt's zoom, orientation and print buttons. The caller paints the pages on whatever device
// context it is handed (the preview's, or the printer's when the user prints from the preview), so
// the preview shows exactly what printing prints. Like every dialog it passes the modal seam
// first; an answer that names a PDF file has the previewed pages written there.

#include "platform/WinTypes.h"

#include <functional>
#include <memory>

class CPrinterDC;
class CWnd;

class CPrintPreviewDialog {
public:
    // Runs one print job on the context it is given, and deletes it.
    using PaintFn = std::function<void(std::unique_ptr<CPrinterDC>)>;

    explicit CPrintPreviewDialog(PaintFn fnPaint, CWnd* pParentWnd = nullptr);

    // The page's orientation: set before DoModal, and as the user left it afterwards.
    void SetLandscape(bool bLandscape) { m_bLandscape = bLandscape; }
    [[nodiscard]] bool IsLandscape() const { return m_bLandscape; }

    // IDOK when the user printed from the preview, IDCANCEL when it was closed.
    INT_PTR DoModal();

private:
    PaintFn m_fnPaint;
    CWnd* m_pParentWnd;
    bool m_bLandscape = false;
};
