#pragma once
// Writing the chart to an image without showing a window: one drawing of a chart's state goes to a
// PNG or an SVG, written whole or not at all (platform/AtomicFile.h).
//
// Needs a QGuiApplication for the fonts; the offscreen platform serves.

#include "platform/Outcome.h"

#include <string>

class QImage;
struct CChartState;

constexpr int DEFAULT_EXPORT_WIDTH = 1200;
constexpr int DEFAULT_EXPORT_HEIGHT = 800;
constexpr int MIN_EXPORT_SIDE = 16;
constexpr int MAX_EXPORT_SIDE = 8000;

// Parses "WIDTHxHEIGHT" (such as "1200x800"; an empty text gives the default size). Each side
// must be a plain whole number from MIN_EXPORT_SIDE to MAX_EXPORT_SIDE.
COutcome ParseSizeArg(const std::string& strArg, int* pnWidth, int* pnHeight);

// What an export to strOut writes, told by the suffix of its name in any case: .png and .svg
// (ExportChartImage), .pdf (the printed page). The one place the suffixes are read.
enum class EExportKind { Unknown, Png, Svg, Pdf };
[[nodiscard]] EExportKind ExportKindOf(const std::string& strOut);

// Checks that strOut can be written before anything is drawn: a folder that exists, and the
// target, after its links, either new or a regular file (a device or a pipe gives "not a regular
// file: PATH", and is never replaced). Used for every kind of export.
COutcome CheckExportTarget(const std::string& strOut);

// The chart as a PNG export draws it (screen colours and fonts, no cursor): for the clipboard. A
// null image when there is not enough memory for it.
[[nodiscard]] QImage RenderChartImage(const CChartState& state, int nWidth, int nHeight);

// The same pixels as image (RGB32) with a colour table, when it has at most 256 colours (a chart's
// background, trace, grid, text and their smoothed edges usually do); a null image otherwise. A
// PNG of table indices is a quarter of the data to compress and needs no per-row filter search,
// which was most of the time an export took.
[[nodiscard]] QImage ExactPaletteImage(const QImage& image);

// Draws state into strOut (.png or .svg) at nWidth x nHeight pixels; strDescription names the
// data in an SVG's description. On failure the target is as it was and nothing is left beside it.
COutcome ExportChartImage(const CChartState& state, const std::string& strOut, int nWidth,
                          int nHeight, const std::string& strDescription);
