#pragma once
// Writing the chart to an image without showing a window: one drawing of a chart's state goes to a
// PNG or an SVG. The image is written to a temporary file beside the target and renamed into
// place, so the target is either untouched or whole.
//
// Needs a QGuiApplication for the fonts; the offscreen platform serves.

#include <string>

struct CChartState;

constexpr int DEFAULT_EXPORT_WIDTH = 1200;
constexpr int DEFAULT_EXPORT_HEIGHT = 800;
constexpr int MIN_EXPORT_SIDE = 16;
constexpr int MAX_EXPORT_SIDE = 8000;

// Parses "WIDTHxHEIGHT" (such as "1200x800"; an empty text gives the default size). Each side
// must be a plain whole number from MIN_EXPORT_SIDE to MAX_EXPORT_SIDE. False with a one-line
// message in *pstrError otherwise.
[[nodiscard]] bool ParseSizeArg(const std::string& strArg, int* pnWidth, int* pnHeight,
                                std::string* pstrError);

// True when strOut ends in .png or .svg (any case): the outputs ExportChartImage writes.
[[nodiscard]] bool IsChartImagePath(const std::string& strOut);

// Checks that strOut can be an image target before anything is drawn: a known type, a folder that
// exists, not itself a folder. False with a one-line message otherwise.
[[nodiscard]] bool CheckImageTarget(const std::string& strOut, std::string* pstrError);

// Draws state into strOut (.png or .svg) at nWidth x nHeight pixels; strDescription names the
// data in an SVG's description. False with a one-line message in *pstrError when the output type
// is unknown, the size is out of range, the output folder cannot be written or the writing fails;
// the target is then as it was and no temporary file is left.
[[nodiscard]] bool ExportChartImage(const CChartState& state, const std::string& strOut, int nWidth,
                                    int nHeight, const std::string& strDescription,
                                    std::string* pstrError);
