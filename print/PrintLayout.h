#pragma once
// Where the chart goes on a printed page: a tenth of the printable width and height in from its
// top-left corner, eight tenths of each in size, truncated to whole inches.

struct CPrintPlacement {
    double dLeft = 0.0;   // inches from the printable area's left edge
    double dTop = 0.0;    // inches from its top edge
    double dWidth = 0.0;  // whole inches
    double dHeight = 0.0; // whole inches
};

constexpr double INCHES_PER_MM = 0.03937007874015748;

[[nodiscard]] CPrintPlacement ComputePrintPlacement(int nHorzSizeMm, int nVertSizeMm);
