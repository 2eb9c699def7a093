#pragma once
// The main window's geometry rules, kept apart from the widget so they can be tested alone: where
// the minimised icon is drawn, and how a saved placement is checked against the screens before the
// window is placed with it.

#include <vector>

struct CRectI {
    int nLeft = 0;
    int nTop = 0;
    int nWidth = 0;
    int nHeight = 0;
};

struct CPointI {
    int nX = 0;
    int nY = 0;
};

// Top-left of an icon centred in a client area; integer division truncates toward zero, so a
// 0 x 0 client area puts a 32 x 32 icon at -15, -15.
[[nodiscard]] CPointI CenteredIconPosition(int nClientWidth, int nClientHeight, int nIconWidth,
                                           int nIconHeight);

// Least part of the window's top edge that must lie on a screen for a user to reach it.
constexpr int MIN_VISIBLE_PIXELS = 48;

// The placement to apply: the saved one when it has a size and a reachable part of it lies on one
// of the screens' available areas; otherwise the default size (or the saved size when it fits)
// at the default offset from the first screen's corner. No screens: the saved placement as is.
[[nodiscard]] CRectI PlacementOnScreen(const CRectI& rcSaved, const std::vector<CRectI>& screens);
