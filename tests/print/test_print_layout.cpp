// Where the chart goes on the page, from the printable area in millimetres.

#include "print/PrintLayout.h"

#include <gtest/gtest.h>

TEST(PrintPlacement, FromPrintableMillimetres) {
    struct Case {
        int h, v;
        double left, top, width, height;
    };
    const Case cases[] = {
        {210, 297, 0.8267716535433071, 1.1692913385826773, 6.0, 9.0},
        {203, 271, 0.7992125984251969, 1.0669291338582678, 6.0, 8.0},
    };
    for (const Case& c : cases) {
        const CPrintPlacement p = ComputePrintPlacement(c.h, c.v);
        EXPECT_EQ(p.dLeft, c.left) << c.h;
        EXPECT_EQ(p.dTop, c.top) << c.v;
        EXPECT_EQ(p.dWidth, c.width) << c.h;
        EXPECT_EQ(p.dHeight, c.height) << c.v;
    }
    EXPECT_EQ(ComputePrintPlacement(31, 100).dWidth, 0.0);
    EXPECT_EQ(ComputePrintPlacement(32, 100).dWidth, 1.0);
}
