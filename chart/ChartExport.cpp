#include "chart/ChartExport.h"

#include "chart/ChartRenderer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <charconv>

namespace {
constexpr int SCREEN_DPI = 96;
constexpr double INCHES_PER_METRE = 39.37007874015748;

enum class EImageKind { Unknown, Png, Svg };

EImageKind ImageKindOf(const std::string& strOut) {
    const QString strSuffix = QFileInfo(QString::fromStdString(strOut)).suffix().toLower();
    if (strSuffix == QLatin1String("png")) {
        return EImageKind::Png;
    }
    if (strSuffix == QLatin1String("svg")) {
        return EImageKind::Svg;
    }
    return EImageKind::Unknown;
}

bool Fail(std::string* pstrError, const std::string& strMessage) {
    if (pstrError != nullptr) {
        *pstrError = strMessage;
    }
    return false;
}

bool ParseSide(const char* pBegin, const char* pEnd, int* pnSide) {
    if (pBegin == pEnd || *pBegin < '0' || *pBegin > '9') {
        return false; // no sign, no blank
    }
    const auto result = std::from_chars(pBegin, pEnd, *pnSide);
    return result.ec == std::errc() && result.ptr == pEnd;
}

bool CheckTargetPlace(const std::string& strOut, std::string* pstrError) {
    const QFileInfo target(QString::fromStdString(strOut));
    if (target.isDir()) {
        return Fail(pstrError, "cannot write " + strOut + ": it is a folder");
    }
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists()) {
        return Fail(pstrError, "cannot write " + strOut + ": folder " +
                                   folder.filePath().toStdString() + " does not exist");
    }
    if (!folder.isDir()) {
        return Fail(pstrError, "cannot write " + strOut + ": " + folder.filePath().toStdString() +
                                   " is not a folder");
    }
    return true;
}

bool RenderPng(const CChartState& state, QSaveFile& file, int nWidth, int nHeight,
               std::string* pstrError) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return Fail(pstrError, "not enough memory for a " + std::to_string(nWidth) + "x" +
                                   std::to_string(nHeight) + " image");
    }
    // Screen resolution, so the fonts have their screen size.
    const int nDotsPerMetre = static_cast<int>(SCREEN_DPI * INCHES_PER_METRE + 0.5);
    image.setDotsPerMeterX(nDotsPerMetre);
    image.setDotsPerMeterY(nDotsPerMetre);
    {
        QPainter painter(&image);
        CChartRenderer().Draw(painter, QRectF(0, 0, nWidth, nHeight), state, CChartStyle{});
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        return Fail(pstrError, "cannot write " + file.fileName().toStdString() + ": " +
                                   writer.errorString().toStdString());
    }
    return true;
}

bool RenderSvg(const CChartState& state, QSaveFile& file, int nWidth, int nHeight,
               const std::string& strDescription, std::string* pstrError) {
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(QSize(nWidth, nHeight));
    generator.setViewBox(QRect(0, 0, nWidth, nHeight));
    generator.setResolution(SCREEN_DPI);
    generator.setTitle(QStringLiteral("Quillon"));
    generator.setDescription(QString::fromStdString(strDescription));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return Fail(pstrError, "cannot write " + file.fileName().toStdString());
    }
    CChartRenderer().Draw(painter, QRectF(0, 0, nWidth, nHeight), state, CChartStyle{});
    painter.end();
    return true;
}
} // namespace

bool ParseSizeArg(const std::string& strArg, int* pnWidth, int* pnHeight, std::string* pstrError) {
    if (strArg.empty()) {
        *pnWidth = DEFAULT_EXPORT_WIDTH;
        *pnHeight = DEFAULT_EXPORT_HEIGHT;
        return true;
    }
    const std::string strRule = "expected WIDTHxHEIGHT such as 1200x800, each side from " +
                                std::to_string(MIN_EXPORT_SIDE) + " to " +
                                std::to_string(MAX_EXPORT_SIDE);
    const std::size_t nCross = strArg.find_first_of("xX");
    int nWidth = 0;
    int nHeight = 0;
    const char* pBegin = strArg.data();
    const char* pEnd = pBegin + strArg.size();
    if (nCross == std::string::npos || !ParseSide(pBegin, pBegin + nCross, &nWidth) ||
        !ParseSide(pBegin + nCross + 1, pEnd, &nHeight) || nWidth < MIN_EXPORT_SIDE ||
        nHeight < MIN_EXPORT_SIDE || nWidth > MAX_EXPORT_SIDE || nHeight > MAX_EXPORT_SIDE) {
        return Fail(pstrError, "bad size '" + strArg + "': " + strRule);
    }
    *pnWidth = nWidth;
    *pnHeight = nHeight;
    return true;
}

bool IsChartImagePath(const std::string& strOut) {
    return ImageKindOf(strOut) != EImageKind::Unknown;
}

bool CheckImageTarget(const std::string& strOut, std::string* pstrError) {
    if (ImageKindOf(strOut) == EImageKind::Unknown) {
        return Fail(pstrError, "cannot write " + strOut + ": unknown file type (use .png or .svg)");
    }
    return CheckTargetPlace(strOut, pstrError);
}

bool ExportChartImage(const CChartState& state, const std::string& strOut, int nWidth, int nHeight,
                      const std::string& strDescription, std::string* pstrError) {
    const EImageKind eKind = ImageKindOf(strOut);
    if (!CheckImageTarget(strOut, pstrError)) {
        return false;
    }
    if (nWidth < MIN_EXPORT_SIDE || nHeight < MIN_EXPORT_SIDE || nWidth > MAX_EXPORT_SIDE ||
        nHeight > MAX_EXPORT_SIDE) {
        return Fail(pstrError, "bad size " + std::to_string(nWidth) + "x" +
                                   std::to_string(nHeight) + ": each side must be from " +
                                   std::to_string(MIN_EXPORT_SIDE) + " to " +
                                   std::to_string(MAX_EXPORT_SIDE));
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return Fail(pstrError, "cannot draw the chart: no application object");
    }

    // QSaveFile writes beside the target and renames on commit; dropped uncommitted, it
    // removes its temporary file and leaves the target as it was.
    QSaveFile file(QString::fromStdString(strOut));
    if (!file.open(QIODevice::WriteOnly)) {
        return Fail(pstrError, "cannot write " + strOut + ": " + file.errorString().toStdString());
    }
    const bool bDrawn = eKind == EImageKind::Png
                            ? RenderPng(state, file, nWidth, nHeight, pstrError)
                            : RenderSvg(state, file, nWidth, nHeight, strDescription, pstrError);
    if (!bDrawn) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        return Fail(pstrError, "cannot write " + strOut + ": " + file.errorString().toStdString());
    }
    return true;
}
