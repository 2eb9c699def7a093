#include "print/PrintLayout.h"

#include <cmath>

CPrintPlacement ComputePrintPlacement(int nHorzSizeMm, int nVertSizeMm) {
    const double h = nHorzSizeMm * INCHES_PER_MM;
    const double v = nVertSizeMm * INCHES_PER_MM;
    CPrintPlacement placement;
    placement.dLeft = h * 0.1;
    placement.dTop = v * 0.1;
    placement.dWidth = std::trunc(h * 0.8);
    placement.dHeight = std::trunc(v * 0.8);
    return placement;
}
