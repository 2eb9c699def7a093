#include "platform/DialogUnits.h"

#include "platform/Font.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <cstdint>

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) {
        return -1;
    }
    const std::int64_t nProduct = static_cast<std::int64_t>(nNumber) * nNumerator;
    const bool bNegative = (nProduct < 0) != (nDenominator < 0);
    const std::int64_t nAbsProduct = nProduct < 0 ? -nProduct : nProduct;
    const std::int64_t nAbsDen =
        nDenominator < 0 ? -static_cast<std::int64_t>(nDenominator) : nDenominator;
    const std::int64_t nQuotient = (nAbsProduct + nAbsDen / 2) / nAbsDen;
    const std::int64_t nResult = bNegative ? -nQuotient : nQuotient;
    if (nResult > INT32_MAX || nResult < INT32_MIN) {
        return -1;
    }
    return static_cast<int>(nResult);
}

int AverageCharWidthFromExtent(int nAlphabetExtent) {
    return (nAlphabetExtent / 26 + 1) / 2;
}

CDialogBaseUnits GetFontBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int nExtent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {AverageCharWidthFromExtent(nExtent), metrics.height()};
}

QFont MakeDialogFont(const std::string& strFace, int nPointSize) {
    QFont font(ResolveFontFace(strFace, QFont::SansSerif));
    font.setStyleHint(QFont::SansSerif);
    int nDpi = 96;
    if (const QScreen* pScreen = QGuiApplication::primaryScreen()) {
        nDpi = static_cast<int>(pScreen->logicalDotsPerInchY() + 0.5);
    }
    // Points become whole pixels of character height, as the platform's font mapper rounds them.
    const int nPixels = MulDiv(nPointSize, nDpi, 72);
    font.setPixelSize(nPixels > 0 ? nPixels : 1);
    return font;
}
