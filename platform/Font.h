#pragma once
// CFont: a font object in the framework's shape, created from the same fields as a logical font
// and owned by the object that created it. On this platform it holds a QFont; a face the system
// lacks falls back to the platform face of the requested family (sans serif for FF_SWISS).

#include "platform/WinTypes.h"

#include <QFont>

#include <memory>
#include <string>

#ifndef _WIN32
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
#endif

// The face to use for strFace: itself where the system has it, else the face the platform
// resolves for the style hint.
[[nodiscard]] QString ResolveFontFace(const std::string& strFace, QFont::StyleHint eHint);

// The largest pixel size at which the font's cell (ascent + descent) is at most nCellHeight.
[[nodiscard]] int PixelSizeForCellHeight(const QFont& font, int nCellHeight);

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // As the logical font: nHeight > 0 is the cell height, < 0 the character height, 0 the
    // default size, all in pixels; nWeight 0 is the face's default weight. The width,
    // escapement, orientation, precision and quality fields are accepted and have no effect
    // here. Fails (FALSE) when the object already holds a font.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    LPCSTR lpszFacename);
    BOOL DeleteObject();

    // The font, or null before CreateFont and after DeleteObject.
    [[nodiscard]] const QFont* GetSafeHandle() const { return m_pFont.get(); }

    // Fonts alive in the process, as the system's count of font objects would show them.
    [[nodiscard]] static int GetLiveFontCount();

private:
    std::unique_ptr<QFont> m_pFont;
};
