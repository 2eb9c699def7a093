#include "platform/Font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <atomic>

namespace {
std::atomic<int> g_nLiveFonts{0};

QFont::StyleHint HintFromFamily(BYTE nPitchAndFamily) {
    switch (nPitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return QFont::Serif;
    case FF_SWISS:
        return QFont::SansSerif;
    case FF_MODERN:
        return QFont::TypeWriter;
    default:
        return QFont::AnyStyle;
    }
}
} // namespace

QString ResolveFontFace(const std::string& strFace, QFont::StyleHint eHint) {
    const QString strWanted = QString::fromStdString(strFace);
    if (!strWanted.isEmpty() && QFontDatabase::hasFamily(strWanted)) {
        return strWanted;
    }
    QFont probe(eHint == QFont::Serif ? QStringLiteral("Serif") : QStringLiteral("Sans Serif"));
    probe.setStyleHint(eHint == QFont::AnyStyle ? QFont::SansSerif : eHint);
    return QFontInfo(probe).family();
}

int PixelSizeForCellHeight(const QFont& font, int nCellHeight) {
    if (nCellHeight <= 1) {
        return 1;
    }
    QFont probe(font);
    probe.setPixelSize(1000);
    const double dCellPerPixel = QFontMetricsF(probe).height() / 1000.0;
    int nPixels = dCellPerPixel > 0.0 ? static_cast<int>(nCellHeight / dCellPerPixel) + 1 : 1;
    // The metrics round per size; walk to the exact boundary.
    const auto cellAt = [&probe](int nSize) {
        probe.setPixelSize(nSize);
        return QFontMetrics(probe).height();
    };
    while (nPixels > 1 && cellAt(nPixels) > nCellHeight) {
        --nPixels;
    }
    while (cellAt(nPixels + 1) <= nCellHeight) {
        ++nPixels;
    }
    return nPixels;
}

CFont::CFont() = default;

CFont::~CFont() {
    DeleteObject();
}

BOOL CFont::CreateFont(int nHeight, int /*nWidth*/, int /*nEscapement*/, int /*nOrientation*/,
                       int nWeight, BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut,
                       BYTE /*nCharSet*/, BYTE /*nOutPrecision*/, BYTE /*nClipPrecision*/,
                       BYTE /*nQuality*/, BYTE nPitchAndFamily, LPCSTR lpszFacename) {
    if (m_pFont) {
        return FALSE;
    }
    const QFont::StyleHint eHint = HintFromFamily(nPitchAndFamily);
    auto pFont = std::make_unique<QFont>(
        ResolveFontFace(lpszFacename != nullptr ? lpszFacename : "", eHint));
    pFont->setStyleHint(eHint);
    if (nWeight > 0) {
        pFont->setWeight(static_cast<QFont::Weight>(nWeight < 1000 ? nWeight : 1000));
    }
    pFont->setItalic(bItalic != 0);
    pFont->setUnderline(bUnderline != 0);
    pFont->setStrikeOut(cStrikeOut != 0);
    if (nHeight > 0) {
        pFont->setPixelSize(PixelSizeForCellHeight(*pFont, nHeight));
    } else if (nHeight < 0) {
        pFont->setPixelSize(-nHeight);
    }
    m_pFont = std::move(pFont);
    ++g_nLiveFonts;
    return TRUE;
}

BOOL CFont::DeleteObject() {
    if (!m_pFont) {
        return FALSE;
    }
    m_pFont.reset();
    --g_nLiveFonts;
    return TRUE;
}

int CFont::GetLiveFontCount() {
    return g_nLiveFonts.load();
}
