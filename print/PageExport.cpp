#include "print/PageExport.h"

#include "platform/PrinterDC.h"
#include "print/ChartPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

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

bool ExportChartPage(CStrip& chart, const std::string& strCaption, const std::string& strOutPath,
                     EPaper ePaper, std::string* pstrError) {
    const QFileInfo target(QString::fromStdString(strOutPath));
    // Reserve a unique temporary name beside the target, so the rename stays on one file system.
    QTemporaryFile temp(
        target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName())));
    if (!temp.open()) {
        *pstrError = "cannot write in " + target.absolutePath().toStdString() + ": " +
                     temp.errorString().toStdString();
        return false;
    }
    temp.close();
    const QString strTemp = temp.fileName();

    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    pPrinter->setOutputFileName(strTemp);
    pPrinter->setPageSize(QPageSize(ePaper == EPaper::Letter ? QPageSize::Letter : QPageSize::A4));
    pPrinter->setPageOrientation(QPageLayout::Portrait);
    pPrinter->setCreator(QStringLiteral("Quillon"));

    CChartPrinter printer(chart, strCaption);
    if (!printer.PrintOnDC(std::make_unique<CQtPrinterDC>(std::move(pPrinter)))) {
        *pstrError = "could not write the page to " + strOutPath;
        return false;
    }
    // The temporary file was made private; the page gets the permissions a new file would get.
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    ::chmod(strTemp.toLocal8Bit().constData(), 0666 & ~nMask);
    if (std::rename(strTemp.toLocal8Bit().constData(),
                    target.absoluteFilePath().toLocal8Bit().constData()) != 0) {
        *pstrError = "cannot write " + strOutPath;
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}
