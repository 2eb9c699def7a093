#pragma once
// Writing the chart of a data file to an image without showing a window: the chart is set up as
// the main window sets it up (screen colours, display settings), the file is loaded into it and
// one drawing goes to a PNG or an SVG. The image is written to a temporary file beside the
// target and renamed into place, so the target is either untouched or whole.
//
// Needs a QApplication (the chart is a widget, never shown); the offscreen platform serves.

#include <string>

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

// Writes the chart of data file strData to strOut (.png or .svg) at nWidth x nHeight pixels.
// False with a one-line message in *pstrError when the output type is unknown, the size is out
// of range, the data file cannot be opened, the output folder cannot be written or the writing
// fails; the target is then as it was and no temporary file is left.
[[nodiscard]] bool ExportChartImage(const std::string& strData, const std::string& strOut,
                                    int nWidth, int nHeight, std::string* pstrError);
