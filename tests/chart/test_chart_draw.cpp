// The chart as drawn: colours, label placement, the trace against the full polyline, zero-width
// ranges, drawing on a device context, and repainting only from the event loop.

#include "chart/ChartOverlay.h"
#include "chart/ChartSetup.h"
#include "chart/StripChart.h"
#include "tests/TestSupport.h"
#include "tests/chart/ChartTestPoints.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {
constexpr int WIDTH = 600;
constexpr int HEIGHT = 400;

QImage Render(CStripChart& chart, int nWidth = WIDTH, int nHeight = HEIGHT) {
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    chart.Draw(painter, QRectF(0, 0, nWidth, nHeight), CChartStyle{true});
    return image;
}

// The bounding box of the pixels that pass a test.
template <typename CTest> QRect BoxOf(const QImage& image, CTest fnTest) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (fnTest(image.pixel(x, y) & 0xFFFFFF)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}
QRect BoxOf(const QImage& image, QRgb rgb) {
    return BoxOf(image, [rgb](QRgb pixel) { return pixel == (rgb & 0xFFFFFF); });
}
bool Lit(QRgb pixel) {
    return pixel != 0;
}
} // namespace

TEST(ChartDraw, ScreenColoursLabelsAndTrace) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    std::vector<CChartPoint> points;
    for (int i = 0; i <= 1000; ++i) {
        points.push_back({1460.0 + i / 1000.0, 0.5 * std::sin(i / 50.0)});
    }
    EXPECT_EQ(CPointArray(points).SendTo(chart), S_OK);
    const QImage image = Render(chart);
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 0)); // background 31
    const QRect trace = BoxOf(image, qRgb(0, 255, 255));
    ASSERT_FALSE(trace.isEmpty());
    // The trace spans the plot area across: 0.06 to 0.97 of the width.
    EXPECT_NEAR(trace.left(), 0.06 * WIDTH, 1.5);
    EXPECT_NEAR(trace.right(), 0.97 * WIDTH, 1.5);
    // Grid lines are grey inside the plot area: the midnight-to-midnight day has a line at 12:00.
    EXPECT_EQ(
        image.pixel(static_cast<int>(std::lround(0.06 * WIDTH + 0.5 * 0.91 * WIDTH)), HEIGHT / 4),
        qRgb(0x80, 0x80, 0x80));
    // At 1200 x 800, "T i m e" sits centred below the time labels and "kV / m" at the left edge
    // halfway down, clear of the value labels.
    const QImage large = Render(chart, 1200, 800);
    const QRect timeLabel = BoxOf(large.copy(0, 755, 1200, 45), Lit);
    ASSERT_FALSE(timeLabel.isEmpty());
    EXPECT_NEAR(timeLabel.center().x(), 600, 3);
    const QRect valueLabel = BoxOf(large.copy(0, 0, 40, 800), Lit);
    ASSERT_FALSE(valueLabel.isEmpty());
    EXPECT_LE(valueLabel.left(), 2);
    EXPECT_NEAR(valueLabel.center().y(), 0.49 * 800, 8);
}

// The axis titles keep clear of the axis labels and the frame at every size from the window's
// minimum up, and on a page: the zero's label (which tells the field's polarity) and noon's always
// show. Value ranges as loads give them, from a quiet day to a wild one; at the smallest sizes the
// quiet day's lines are too close for the title to pass between their labels unless spaced out.
TEST(ChartDraw, AxisTitlesCoverNoAxisLabelAndNotTheFrame) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    const QSize szMinimum = chart.Renderer().MinimumSize(chart.State(), &chart);
    ASSERT_LT(szMinimum.width(), WIDTH);
    ASSERT_LT(szMinimum.height(), HEIGHT - 20) << "no room for a menu bar at the default size";
    struct CCase {
        const char* pszWhere;
        QSize szPixels;
        int nDotsPerInch;
    };
    const CCase cases[] = {
        {"the window's minimum", szMinimum, 96},
        {"600 x 400 less a menu bar", {WIDTH, HEIGHT - 20}, 96},
        {"600 x 400", {WIDTH, HEIGHT}, 96},
        {"a narrow tall window", {szMinimum.width(), 900}, 96},
        {"6 x 9 inches of a page", {900, 1350}, 150},
    };
    for (const CCase& c : cases) {
        for (const double dScale : {1.0, 2.0, 4.0, 10.0, 25.0, 100.0}) {
            SCOPED_TRACE(std::string(c.pszWhere) + ", +-" + std::to_string(dScale));
            strip.SetPropertyR8(ChartId::ValueMax, dScale);
            strip.SetPropertyR8(ChartId::ValueMin, -dScale);
            QImage image(c.szPixels, QImage::Format_RGB32);
            image.setDotsPerMeterX(static_cast<int>(std::lround(c.nDotsPerInch / 0.0254)));
            image.setDotsPerMeterY(image.dotsPerMeterX());
            QPainter painter(&image);
            chart.Draw(painter, QRectF(image.rect()), CChartStyle{});
            const CChartLayout& layout = chart.Renderer().LastLayout();

            const auto find = [](const std::vector<CPlacedText>& texts, auto fnIs) {
                const auto it = std::find_if(texts.begin(), texts.end(), fnIs);
                return it != texts.end() ? &*it : nullptr;
            };
            const CPlacedText* pZero = find(layout.ticks, [](const CPlacedText& t) {
                bool bNumber = false;
                return t.str.toDouble(&bNumber) == 0.0 && bNumber; // "0", or "0.0" by tenths
            });
            const CPlacedText* pNoon =
                find(layout.ticks, [](const CPlacedText& t) { return t.str == "12:00"; });
            ASSERT_NE(pZero, nullptr) << "the zero's label is not drawn";
            ASSERT_NE(pNoon, nullptr) << "noon's label is not drawn";
            // The frame and one pixel either side of it, where its line may fall.
            const QRectF rcFrame = layout.rcPlot.adjusted(-1, -1, 1, 1);
            EXPECT_FALSE(pZero->rcBox.intersects(rcFrame));
            EXPECT_FALSE(pNoon->rcBox.intersects(rcFrame));
            // Nor do two axis labels meet (the lowest value's and the first time's at the corner).
            for (std::size_t i = 0; i < layout.ticks.size(); ++i) {
                for (std::size_t j = i + 1; j < layout.ticks.size(); ++j) {
                    EXPECT_FALSE(layout.ticks[i].rcBox.intersects(layout.ticks[j].rcBox))
                        << layout.ticks[i].str.toStdString() << " meets "
                        << layout.ticks[j].str.toStdString();
                }
            }
            for (const int nTitle : {VALUE_TITLE_LABEL, TIME_TITLE_LABEL}) {
                const CPlacedText* pTitle = find(
                    layout.labels, [nTitle](const CPlacedText& t) { return t.nLabel == nTitle; });
                ASSERT_NE(pTitle, nullptr) << "title " << nTitle << " is not drawn";
                EXPECT_FALSE(pTitle->rcBox.intersects(rcFrame)) << nTitle;
                EXPECT_TRUE(QRectF(image.rect()).contains(pTitle->rcBox)) << nTitle;
                for (const CPlacedText& tick : layout.ticks) {
                    EXPECT_FALSE(pTitle->rcBox.intersects(tick.rcBox))
                        << nTitle << " covers " << tick.str.toStdString();
                }
            }
        }
    }
}

// A scale of any size has labels that tell its lines apart, and the smallest window leaves them
// room: none reaches past the chart's left edge.
TEST(ChartDraw, TinyAndHugeScalesHaveWholeLabelsAtTheMinimumSize) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    for (const auto& [dScale, bGradient] : {std::pair{1e-22, false},
                                            {1.5e-22, false},
                                            {0.001, false},
                                            {1000.0, false},
                                            {3e6, false},
                                            {1e300, false},
                                            {100.0, true},
                                            {1e-6, true}}) {
        SCOPED_TRACE(dScale);
        strip.SetFieldUnit({bGradient});
        strip.SetPropertyR8(ChartId::ValueMax, dScale);
        strip.SetPropertyR8(ChartId::ValueMin, -dScale);
        const QSize szMinimum = chart.Renderer().MinimumSize(chart.State(), &chart);
        for (const QSize& sz : {szMinimum, QSize(szMinimum.width(), 900)}) {
            (void)Render(chart, sz.width(), sz.height());
            const CChartLayout& layout = chart.Renderer().LastLayout();
            std::set<QString> labels;
            for (const CPlacedText& tick : layout.ticks) {
                if (tick.rcBox.right() <= layout.rcPlot.left()) {
                    EXPECT_GE(tick.rcBox.left(), 0.0) << tick.str.toStdString();
                    EXPECT_TRUE(labels.insert(tick.str).second) << tick.str.toStdString();
                }
            }
            EXPECT_GE(labels.size(), 2u);
        }
    }
}

// The value axis's title reads upward: its ink lies in the box the layout gives it.
TEST(ChartDraw, UpwardTitleIsDrawnInItsBox) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    strip.SetPropertyI2(ChartId::LabelSelect, VALUE_TITLE_LABEL);
    strip.SetPropertyI4(ChartId::LabelColour, 0x0000FF); // red, to find it
    const QImage image = Render(chart);
    const QRect ink = BoxOf(image, [](QRgb pixel) {
        return qRed(pixel) > 96 && qGreen(pixel) < 32 && qBlue(pixel) < 32; // smoothed edges too
    });
    ASSERT_FALSE(ink.isEmpty());
    const auto& labels = chart.Renderer().LastLayout().labels;
    ASSERT_FALSE(labels.empty());
    ASSERT_EQ(labels[0].nLabel, VALUE_TITLE_LABEL);
    EXPECT_TRUE(labels[0].rcBox.adjusted(-1, -1, 1, 1).contains(QRectF(ink)));
    EXPECT_GT(ink.height(), 2 * ink.width()) << "not upward";
}

TEST(ChartDraw, CaptionLabelAndPrintColours) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    SetChartColours(strip, PRINT_TRACE, PRINT_BACK, PRINT_AXES, PRINT_LABELS);
    strip.SetPropertyI2(ChartId::LabelCount, 3);
    strip.SetPropertyI2(ChartId::LabelSelect, CAPTION_LABEL);
    strip.SetPropertyR8(ChartId::LabelX, 0.5);
    strip.SetPropertyR8(ChartId::LabelY, 0.0);
    strip.SetPropertyI4(ChartId::LabelColour, 0x0000FF); // red, to find it
    strip.SetPropertyBstr(ChartId::StockCaption, "/data/day.vks");
    const QImage image = Render(chart);
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 255));
    const QRect caption = BoxOf(image, qRgb(255, 0, 0));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_NEAR(caption.center().x(), WIDTH / 2, 3);
    EXPECT_LE(caption.top(), 6);
    // Back to two labels: the caption is no longer drawn.
    strip.SetPropertyI2(ChartId::LabelCount, 2);
    EXPECT_TRUE(BoxOf(Render(chart), qRgb(255, 0, 0)).isEmpty());
}

TEST(ChartDraw, ReducedTraceCoversTheSamePixelsAsTheFullPolyline) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<CChartPoint> points(172800);
    double dValue = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        dValue += noise(rng);
        dValue *= 0.999;
        points[i] = {1460.0 + static_cast<double>(i / 2) / 86400.0,
                     i % 20011 == 0 ? 4.0 : dValue}; // spikes of one reading
    }
    const CChartRect rcPlot{20, 10, 620, 310};
    const CChartScaleMap timeMap(1460.0, 1461.0, rcPlot.dLeft, rcPlot.dRight);
    const CChartScaleMap valueMap(-5.0, 5.0, rcPlot.dBottom, rcPlot.dTop);
    auto draw = [&](double dColumns) {
        CTraceBuilder builder;
        builder.Build(points.data(), points.size(), timeMap, valueMap, rcPlot, dColumns);
        QImage image(640, 320, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::white, 0));
        QPolygonF polyline;
        for (std::size_t r = 0; r < builder.RunCount(); ++r) {
            polyline.clear();
            for (std::size_t i = builder.RunBegin(r); i < builder.RunEnd(r); ++i) {
                polyline << QPointF(builder.Points()[i].dX, builder.Points()[i].dY);
            }
            painter.drawPolyline(polyline);
        }
        return image;
    };
    const QImage full = draw(0.0);
    const QImage reduced = draw(1.0);
    // Every lit pixel of either image has a lit pixel within one pixel in the other.
    auto near = [](const QImage& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.valid(x + dx, y + dy) && image.pixel(x + dx, y + dy) != qRgb(0, 0, 0)) {
                    return true;
                }
            }
        }
        return false;
    };
    int nLit = 0;
    int nDiffering = 0;
    int nStray = 0; // lit in one image with nothing lit nearby in the other
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            const bool bFull = full.pixel(x, y) != qRgb(0, 0, 0);
            const bool bReduced = reduced.pixel(x, y) != qRgb(0, 0, 0);
            nLit += bFull ? 1 : 0;
            nDiffering += bFull != bReduced ? 1 : 0;
            nStray += (bFull && !near(reduced, x, y)) || (bReduced && !near(full, x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(nStray, 0);
    EXPECT_LT(nDiffering, nLit / 50) << "of " << nLit;
    // Each spike reaches its pixel row in both.
    EXPECT_EQ(BoxOf(full, qRgb(255, 255, 255)).top(), BoxOf(reduced, qRgb(255, 255, 255)).top());
}

TEST(ChartDraw, ZeroWidthTimeRangeDrawsOneDay) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    EXPECT_EQ(CPointArray({{1460.0, 0.0}, {1460.5, 0.5}, {1460.99, 0.0}}).SendTo(chart), S_OK);
    strip.SetPropertyR8(ChartId::TimeMin, 1460.0);
    strip.SetPropertyR8(ChartId::TimeMax, 1460.0);
    strip.SetPropertyR8(ChartId::ValueMin, 3.0);
    strip.SetPropertyR8(ChartId::ValueMax, 3.0); // also empty: 3 to 4, the trace is below it
    EXPECT_TRUE(BoxOf(Render(chart), qRgb(0, 255, 255)).isEmpty());
    strip.SetPropertyR8(ChartId::ValueMin, -1.0);
    const QRect trace = BoxOf(Render(chart), qRgb(0, 255, 255));
    EXPECT_NEAR(trace.left(), 0.06 * WIDTH, 1.5);
    EXPECT_NEAR(trace.right(), 0.06 * WIDTH + 0.99 * 0.91 * WIDTH, 1.5);
}

TEST(ChartDraw, MethodDrawsIntoTheDeviceContextRectangleOnly) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    QImage page(400, 400, QImage::Format_RGB32);
    page.fill(Qt::magenta);
    QPainter painter(&page);
    const HDC_HANDLE hDC = RegisterDeviceContext({&painter, 100.0, 100.0});
    strip.DrawToDC(hDC, 0.5, 1.0, 2.0, 1.5); // 50,100 to 250,250
    // Refused: no width, a size beyond any device, an unknown handle.
    strip.DrawToDC(hDC, 0.0, 0.0, 0.0, 1.0);
    strip.DrawToDC(hDC, 0.0, 0.0, 1e300, 1.0);
    strip.DrawToDC(hDC + 1, 0.0, 0.0, 1.0, 1.0);
    UnregisterDeviceContext(hDC);
    painter.end();
    EXPECT_EQ(page.pixel(51, 101), qRgb(0, 0, 0));
    // Everything that is no longer magenta lies in the rectangle, and fills it.
    EXPECT_EQ(BoxOf(page, [](QRgb pixel) { return pixel != 0xFF00FF; }), QRect(50, 100, 200, 150));
}

TEST(ChartDraw, WritesRepaintLaterNeverAtOnce) {
    struct CCountingChart : CStripChart {
        int nPaints = 0;
        void paintEvent(QPaintEvent* pEvent) override {
            ++nPaints;
            CStripChart::paintEvent(pEvent);
        }
    } chart;
    chart.resize(200, 100);
    chart.show();
    QApplication::processEvents();
    const int nBefore = chart.nPaints;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    strip.ClearPoints();
    EXPECT_EQ(chart.nPaints, nBefore);
    QApplication::processEvents();
    EXPECT_EQ(chart.nPaints, nBefore + 1); // all the writes make one repaint
    chart.close();
}

TEST(ChartDraw, AOneMinuteViewShowsEachReading) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    // Two readings a second for a day, alternating +1 and -1 within the minute at noon.
    std::vector<CChartPoint> points;
    for (int i = 0; i < 172800; ++i) {
        const bool bNoonMinute = i >= 86400 && i < 86520;
        points.push_back({1460.0 + i / 172800.0, bNoonMinute ? (i % 2 == 0 ? 1.0 : -1.0) : 0.0});
    }
    EXPECT_EQ(CPointArray(points).SendTo(chart), S_OK);
    CChartView view;
    view.bTimeSet = true;
    view.time = {1460.5, 1460.5 + 1.0 / 1440};
    chart.SetView(view);
    const QImage image = Render(chart, 1200, 800);
    // Along the trace's top row, the +1 readings: 60 peaks, each its own.
    int nPeaks = 0;
    bool bInPeak = false;
    const QRect trace = BoxOf(image, qRgb(0, 255, 255));
    for (int x = trace.left(); x <= trace.right(); ++x) {
        const bool bTop = (image.pixel(x, trace.top()) & 0xFFFFFF) == 0x00FFFF;
        nPeaks += bTop && !bInPeak ? 1 : 0;
        bInPeak = bTop;
    }
    EXPECT_EQ(nPeaks, 60);
}

// The alarm levels lie above the grid: a grid line at the alert level's value gives way to the
// level's dashes and their band. Flash marks are ticks at the top of the plot, on the page too.
TEST(ChartDraw, LevelsHideTheGridUnderThemAndFlashesAreTicksAtTheTop) {
    CStripChart chart;
    CStrip strip;
    strip.Attach(&chart);
    ApplyChartDisplaySettings(strip);
    strip.SetPropertyR8(ChartId::ValueMin, -20.0);
    strip.SetPropertyR8(ChartId::ValueMax, 20.0);
    strip.SetAlarmLevels({5.0, 10.0}); // 10 is on a grid line at every 1-2-5 spacing
    const double dFlash = 1460.5;
    strip.SetFlashMarks(std::vector<double>{dFlash});
    chart.resize(WIDTH, HEIGHT);
    const CChartGeometry geometry = chart.Geometry();
    const CChartRect& rcPlot = geometry.Plot();
    const int nLevelY = static_cast<int>(std::lround(geometry.ValueMap().Map(10.0)));
    const int nTickX = static_cast<int>(std::lround(geometry.TimeMap().Map(dFlash)));
    const QColor alert = QColorOf(ALERT_COLOUR);
    const QColor grid = QColorOf(GRID_GREY);

    const QImage screen = Render(chart);
    int nAlert = 0;
    int nGrid = 0;
    for (int x = static_cast<int>(rcPlot.dLeft) + 3; x < static_cast<int>(rcPlot.dRight) - 3; ++x) {
        const QColor pixel = screen.pixelColor(x, nLevelY);
        nAlert += pixel == alert ? 1 : 0;
        nGrid += pixel == grid ? 1 : 0;
    }
    EXPECT_GT(nAlert, rcPlot.Width() / 2) << "dashes longer than their gaps";
    EXPECT_EQ(nGrid, 0) << "the grid line shows through the level";
    EXPECT_EQ(screen.pixelColor(nTickX, static_cast<int>(rcPlot.dTop) + 3), QColorOf(FLASH_COLOUR));

    SetChartColours(strip, PRINT_TRACE, PRINT_BACK, PRINT_AXES, PRINT_LABELS);
    QImage paper(WIDTH, HEIGHT, QImage::Format_RGB32);
    {
        QPainter painter(&paper);
        chart.Draw(painter, QRectF(0, 0, WIDTH, HEIGHT), CChartStyle{false, true});
    }
    EXPECT_EQ(paper.pixelColor(nTickX, static_cast<int>(rcPlot.dTop) + 3), QColor(Qt::black));
    EXPECT_NE(paper.pixelColor(nTickX, static_cast<int>(rcPlot.dTop) + 30), QColor(Qt::black))
        << "a short tick, not a line across";
}
