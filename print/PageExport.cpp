#include "print/PageExport.h"

#include "platform/AtomicFile.h"
#include "platform/PrinterDC.h"
#include "print/ChartPrinter.h"

#include <QLocale>
#include <QPageSize>
#include <QPrinter>

#include <memory>

namespace {
// How every PDF ends.
constexpr const char* PDF_END = "%%EOF\n";
} // namespace

EPaper DefaultPaperForLocale() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? EPaper::Letter
                                                                              : EPaper::A4;
}

bool ParsePaperName(const std::string& strName, EPaper* pePaper) {
    const QString str = QString::fromStdString(strName).toLower();
    if (str == QLatin1String("a4")) {
        *pePaper = EPaper::A4;
        return true;
    }
    if (str == QLatin1String("letter")) {
        *pePaper = EPaper::Letter;
        return true;
    }
    return false;
}

COutcome ExportChartPage(CStrip& chart, const std::string& strCaption,
                         const std::string& strOutPath, EPaper ePaper,
                         EPageOrientation eOrientation) {
    CAtomicFile file(strOutPath);
    if (COutcome opened = file.Open(); !opened.Ok()) {
        return opened;
    }
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    pPrinter->setOutputFileName(QString::fromLocal8Bit(file.WritablePath().c_str()));
    pPrinter->setPageSize(QPageSize(ePaper == EPaper::Letter ? QPageSize::Letter : QPageSize::A4));
    pPrinter->setPageOrientation(eOrientation == EPageOrientation::Landscape
                                     ? QPageLayout::Landscape
                                     : QPageLayout::Portrait);
    pPrinter->setCreator(QStringLiteral("Quillon"));

    CChartPrinter printer(chart, strCaption);
    if (!printer.PrintOnDC(std::make_unique<CQtPrinterDC>(std::move(pPrinter)))) {
        return COutcome::Fail("cannot write " + strOutPath + ": the page could not be printed");
    }
    // The PDF writer does not report its write errors: a file that was cut short (a full disk)
    // lacks the end-of-file marker, which is written last.
    if (COutcome whole = file.CheckEnd(PDF_END); !whole.Ok()) {
        return whole;
    }
    return file.Commit();
}
