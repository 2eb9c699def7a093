#pragma once
// Dialog units: templates give positions and sizes in units of the dialog font's average
// character, a quarter of its width across and an eighth of its height down, so a dialog grows
// with its font. One conversion turns them into pixels for every dialog.

#include <QFont>
#include <QRect>

#include <string>

// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0.
[[nodiscard]] int MulDiv(int nNumber, int nNumerator, int nDenominator);

// The platform's rule for the average character width: the extent of the 52 letters A-Z a-z,
// divided by 26, then halved with rounding.
[[nodiscard]] int AverageCharWidthFromExtent(int nAlphabetExtent);

struct CDialogBaseUnits {
    int nCx = 0; // average character width, pixels
    int nCy = 0; // character cell height, pixels
};

// The base units of a font: its average character width and cell height.
[[nodiscard]] CDialogBaseUnits GetFontBaseUnits(const QFont& font);

// The font a template names at nPointSize points, sized the way the platform sizes it (whole
// pixels at the screen's logical resolution); a face the system lacks becomes its sans face.
[[nodiscard]] QFont MakeDialogFont(const std::string& strFace, int nPointSize);

class CDialogUnits {
public:
    explicit CDialogUnits(CDialogBaseUnits base) : m_base(base) {}
    explicit CDialogUnits(const QFont& font) : m_base(GetFontBaseUnits(font)) {}

    [[nodiscard]] CDialogBaseUnits GetBaseUnits() const { return m_base; }
    [[nodiscard]] int ToPixelsX(int nDialogUnits) const {
        return MulDiv(nDialogUnits, m_base.nCx, 4);
    }
    [[nodiscard]] int ToPixelsY(int nDialogUnits) const {
        return MulDiv(nDialogUnits, m_base.nCy, 8);
    }
    // A template rectangle: each of x, y, cx and cy is converted on its own, as the platform
    // converts template items.
    [[nodiscard]] QRect ToPixels(int x, int y, int cx, int cy) const {
        return {ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy)};
    }

private:
    CDialogBaseUnits m_base;
};
