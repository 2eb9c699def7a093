#include "chart/ChartExport.h"

#include "chart/ChartRenderer.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {
constexpr int SCREEN_DPI = 96;
constexpr double INCHES_PER_METRE = 39.37007874015748;

bool ParseSide(const char* pBegin, const char* pEnd, int* pnSide) {
    if (pBegin == pEnd || *pBegin < '0' || *pBegin > '9') {
        return false; // no sign, no blank
    }
    const auto result = std::from_chars(pBegin, pEnd, *pnSide);
    return result.ec == std::errc() && result.ptr == pEnd;
}

std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) {
        return ".";
    }
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

COutcome SizeFailure(int nWidth, int nHeight) {
    return COutcome::Fail("bad size " + std::to_string(nWidth) + "x" + std::to_string(nHeight) +
                          ": each side must be from " + std::to_string(MIN_EXPORT_SIDE) + " to " +
                          std::to_string(MAX_EXPORT_SIDE));
}

COutcome RenderPng(const CChartState& state, int nWidth, int nHeight, QByteArray* pBytes) {
    const QImage image = RenderChartImage(state, nWidth, nHeight);
    if (image.isNull()) {
        return COutcome::Fail("not enough memory for a " + std::to_string(nWidth) + "x" +
                              std::to_string(nHeight) + " image");
    }
    const QImage indexed = ExactPaletteImage(image);
    QBuffer buffer(pBytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(indexed.isNull() ? image : indexed)) {
        return COutcome::Fail("cannot encode the image: " + writer.errorString().toStdString());
    }
    return {};
}

COutcome RenderSvg(const CChartState& state, int nWidth, int nHeight,
                   const std::string& strDescription, QByteArray* pBytes) {
    QBuffer buffer(pBytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(nWidth, nHeight));
    generator.setViewBox(QRect(0, 0, nWidth, nHeight));
    generator.setResolution(SCREEN_DPI);
    generator.setTitle(QStringLiteral("Quillon"));
    generator.setDescription(QString::fromUtf8(strDescription.c_str()));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return COutcome::Fail("cannot draw the SVG");
    }
    CChartRenderer().Draw(painter, QRectF(0, 0, nWidth, nHeight), state, CChartStyle{});
    painter.end();
    return {};
}
} // namespace

QImage ExactPaletteImage(const QImage& image) {
    constexpr int MAX_COLOURS = 256;
    constexpr std::size_t SLOTS = 1024; // open addressing, at most a quarter full
    std::array<QRgb, SLOTS> keys{};
    std::array<int, SLOTS> indices;
    indices.fill(-1);
    QList<QRgb> table;
    QImage indexed(image.size(), QImage::Format_Indexed8);
    if (indexed.isNull()) {
        return indexed;
    }
    QRgb last = 0;
    uchar nLast = 0;
    bool bAny = false;
    const int nWidth = image.width();
    const int nHeight = image.height();
    for (int y = 0; y < nHeight; ++y) {
        const auto* pSource = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* pTarget = indexed.scanLine(y);
        for (int x = 0; x < nWidth; ++x) {
            const QRgb colour = pSource[x] | 0xff000000U; // RGB32 keeps its top byte at ff
            if (!bAny || colour != last) {
                std::size_t nSlot = (colour * 2654435761U) % SLOTS;
                while (indices[nSlot] >= 0 && keys[nSlot] != colour) {
                    nSlot = (nSlot + 1) % SLOTS;
                }
                if (indices[nSlot] < 0) {
                    if (table.size() == MAX_COLOURS) {
                        return {};
                    }
                    keys[nSlot] = colour;
                    indices[nSlot] = static_cast<int>(table.size());
                    table.append(colour);
                }
                last = colour;
                nLast = static_cast<uchar>(indices[nSlot]);
                bAny = true;
            }
            pTarget[x] = nLast;
        }
    }
    indexed.setColorTable(table);
    indexed.setDotsPerMeterX(image.dotsPerMeterX());
    indexed.setDotsPerMeterY(image.dotsPerMeterY());
    return indexed;
}

QImage RenderChartImage(const CChartState& state, int nWidth, int nHeight) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    // Screen resolution, so the fonts have their screen size.
    const int nDotsPerMetre = static_cast<int>(SCREEN_DPI * INCHES_PER_METRE + 0.5);
    image.setDotsPerMeterX(nDotsPerMetre);
    image.setDotsPerMeterY(nDotsPerMetre);
    {
        QPainter painter(&image);
        CChartRenderer().Draw(painter, QRectF(0, 0, nWidth, nHeight), state, CChartStyle{});
    }
    return image;
}

COutcome ParseSizeArg(const std::string& strArg, int* pnWidth, int* pnHeight) {
    if (strArg.empty()) {
        *pnWidth = DEFAULT_EXPORT_WIDTH;
        *pnHeight = DEFAULT_EXPORT_HEIGHT;
        return {};
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
        return COutcome::Fail("bad size '" + strArg + "': " + strRule);
    }
    *pnWidth = nWidth;
    *pnHeight = nHeight;
    return {};
}

EExportKind ExportKindOf(const std::string& strOut) {
    const std::size_t nDot = strOut.rfind('.');
    const std::size_t nSlash = strOut.rfind('/');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash)) {
        return EExportKind::Unknown;
    }
    std::string strSuffix = strOut.substr(nDot + 1);
    std::transform(strSuffix.begin(), strSuffix.end(), strSuffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [pszSuffix, eKind] :
         {std::pair{"png", EExportKind::Png}, std::pair{"svg", EExportKind::Svg},
          std::pair{"pdf", EExportKind::Pdf}}) {
        if (strSuffix == pszSuffix) {
            return eKind;
        }
    }
    return EExportKind::Unknown;
}

COutcome CheckExportTarget(const std::string& strOut) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(fs::path(strOut), ec)) {
        return COutcome::Fail("cannot write " + strOut + ": it is a folder");
    }
    const std::string strFolder = FolderOf(strOut);
    const fs::file_status folder = fs::status(fs::path(strFolder), ec);
    if (!fs::exists(folder)) {
        return COutcome::Fail("cannot write " + strOut + ": folder " + strFolder +
                              (ec && ec != std::errc::no_such_file_or_directory
                                   ? ": " + ec.message()
                                   : std::string(" does not exist")));
    }
    if (!fs::is_directory(folder)) {
        return COutcome::Fail("cannot write " + strOut + ": " + strFolder + " is not a folder");
    }
    // Links followed: the commit would put a regular file in place of a device or a pipe.
    const fs::file_status target = fs::status(fs::path(strOut), ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        return COutcome::Fail("cannot write " + strOut + ": " + ec.message());
    }
    if (fs::exists(target) && !fs::is_regular_file(target)) {
        return COutcome::Fail("not a regular file: " + strOut);
    }
    return {};
}

COutcome ExportChartImage(const CChartState& state, const std::string& strOut, int nWidth,
                          int nHeight, const std::string& strDescription) {
    const EExportKind eKind = ExportKindOf(strOut);
    if (eKind != EExportKind::Png && eKind != EExportKind::Svg) {
        return COutcome::Fail("cannot write " + strOut + ": unknown file type (use .png or .svg)");
    }
    if (COutcome target = CheckExportTarget(strOut); !target.Ok()) {
        return target;
    }
    if (nWidth < MIN_EXPORT_SIDE || nHeight < MIN_EXPORT_SIDE || nWidth > MAX_EXPORT_SIDE ||
        nHeight > MAX_EXPORT_SIDE) {
        return SizeFailure(nWidth, nHeight);
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return COutcome::Fail("cannot draw the chart: no application object");
    }
    QByteArray bytes;
    const COutcome drawn = eKind == EExportKind::Png
                               ? RenderPng(state, nWidth, nHeight, &bytes)
                               : RenderSvg(state, nWidth, nHeight, strDescription, &bytes);
    if (!drawn.Ok()) {
        return COutcome::Fail("cannot write " + strOut + ": " + drawn.Error());
    }
    return WriteFileAtomically(
        strOut, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
