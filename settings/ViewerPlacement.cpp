#include "settings/ViewerPlacement.h"

#include "settings/ViewerSettings.h"

#include <algorithm>

CPointI CenteredIconPosition(int nClientWidth, int nClientHeight, int nIconWidth, int nIconHeight) {
    return {(nClientWidth - nIconWidth + 1) / 2, (nClientHeight - nIconHeight + 1) / 2};
}

namespace {
// The strip along the window's top edge, where the caption is: the part a user drags.
bool CaptionReachable(const CRectI& rc, const CRectI& screen) {
    const long long nLeft = std::max<long long>(rc.nLeft, screen.nLeft);
    const long long nRight =
        std::min<long long>(static_cast<long long>(rc.nLeft) + rc.nWidth,
                            static_cast<long long>(screen.nLeft) + screen.nWidth);
    const bool bTopInside =
        rc.nTop >= screen.nTop && rc.nTop < static_cast<long long>(screen.nTop) + screen.nHeight;
    return bTopInside && nRight - nLeft >= MIN_VISIBLE_PIXELS;
}
} // namespace

CRectI PlacementOnScreen(const CRectI& rcSaved, const std::vector<CRectI>& screens) {
    if (screens.empty()) {
        return rcSaved;
    }
    const bool bHasSize = rcSaved.nWidth > 0 && rcSaved.nHeight > 0;
    if (bHasSize && std::any_of(screens.begin(), screens.end(), [&](const CRectI& screen) {
            return CaptionReachable(rcSaved, screen);
        })) {
        return rcSaved;
    }
    const CRectI& primary = screens.front();
    CRectI rc;
    rc.nLeft = primary.nLeft + DEFAULT_WINDOW_X;
    rc.nTop = primary.nTop + DEFAULT_WINDOW_Y;
    const bool bSizeFits = bHasSize && rcSaved.nWidth <= primary.nWidth - DEFAULT_WINDOW_X &&
                           rcSaved.nHeight <= primary.nHeight - DEFAULT_WINDOW_Y;
    rc.nWidth = bSizeFits ? rcSaved.nWidth : DEFAULT_WINDOW_WIDTH;
    rc.nHeight = bSizeFits ? rcSaved.nHeight : DEFAULT_WINDOW_HEIGHT;
    return rc;
}
