#include "chart/ChartTrace.h"

#include <algorithm>
#include <cmath>

namespace {
// Mapped coordinates are held within this many pixels of the plot area, so a reading of 1e300
// or inf stays a finite segment whose visible part is the same to far below a pixel.
constexpr double FAR_OUTSIDE = 1e9;

// Clips the segment a-b to the rectangle (Liang-Barsky). False when nothing of it is inside.
bool ClipSegment(const CChartRect& rc, CTracePoint* pa, CTracePoint* pb) {
    const double dx = pb->dX - pa->dX;
    const double dy = pb->dY - pa->dY;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {pa->dX - rc.dLeft, rc.dRight - pa->dX, pa->dY - rc.dTop,
                         rc.dBottom - pa->dY};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const CTracePoint a = *pa;
    if (t1 < 1.0) {
        *pb = {a.dX + t1 * dx, a.dY + t1 * dy};
    }
    if (t0 > 0.0) {
        *pa = {a.dX + t0 * dx, a.dY + t0 * dy};
    }
    return true;
}

bool Inside(const CChartRect& rc, const CTracePoint& pt) {
    return pt.dX >= rc.dLeft && pt.dX <= rc.dRight && pt.dY >= rc.dTop && pt.dY <= rc.dBottom;
}
} // namespace

void CTraceBuilder::Build(const CChartPoint* pPoints, std::size_t nPoints,
                          const CChartScaleMap& timeMap, const CChartScaleMap& valueMap,
                          const CChartRect& rcClip, double dColumnsPerUnit) {
    m_points.clear();
    m_runStarts.clear();
    m_rcClip = rcClip;
    m_bBucket = false;
    m_bPrevious = false;
    m_bRunOpen = false;
    if (pPoints == nullptr) {
        return;
    }
    const bool bReduce = dColumnsPerUnit > 0.0 && std::isfinite(dColumnsPerUnit);
    const double dScale = bReduce ? dColumnsPerUnit : 1.0;
    double dPreviousTime = 0.0;
    bool bPreviousTime = false;
    // The hot loop: most points land in the current column with the time running forward and
    // only update the bucket. Coordinates are held near the plot area when they are emitted.
    for (std::size_t i = 0; i < nPoints; ++i) {
        const double dTime = pPoints[i].dTime;
        const double dValue = pPoints[i].dValue;
        if (!std::isfinite(dTime) || std::isnan(dValue)) {
            FlushBucket();
            Break();
            bPreviousTime = false;
            continue;
        }
        const CTracePoint pt{timeMap.Map(dTime), valueMap.Map(dValue)};
        const bool bForward = bPreviousTime && dTime >= dPreviousTime;
        dPreviousTime = dTime;
        bPreviousTime = true;
        const double dColumnX = pt.dX * dScale;
        if (bReduce && m_bBucket && bForward && dColumnX >= m_bucket.dColumn &&
            dColumnX < m_bucket.dColumn + 1.0) {
            m_bucket.nLast = i;
            m_bucket.last = pt;
            if (pt.dY < m_bucket.low.dY) {
                m_bucket.nLow = i;
                m_bucket.low = pt;
            } else if (pt.dY > m_bucket.high.dY) {
                m_bucket.nHigh = i;
                m_bucket.high = pt;
            }
            continue;
        }
        FlushBucket();
        m_bBucket = true;
        m_bucket.dColumn = bReduce ? std::floor(dColumnX) : 0.0;
        m_bucket.nFirst = m_bucket.nLow = m_bucket.nHigh = m_bucket.nLast = i;
        m_bucket.first = m_bucket.low = m_bucket.high = m_bucket.last = pt;
    }
    FlushBucket();
}

void CTraceBuilder::FlushBucket() {
    if (!m_bBucket) {
        return;
    }
    m_bBucket = false;
    const CBucket& b = m_bucket;
    Emit(b.first);
    // The extremes in the order the readings came, each once.
    const bool bLowFirst = b.nLow <= b.nHigh;
    const std::size_t nA = bLowFirst ? b.nLow : b.nHigh;
    const std::size_t nB = bLowFirst ? b.nHigh : b.nLow;
    const CTracePoint& a = bLowFirst ? b.low : b.high;
    const CTracePoint& c = bLowFirst ? b.high : b.low;
    if (nA != b.nFirst && nA != b.nLast) {
        Emit(a);
    }
    if (nB != nA && nB != b.nFirst && nB != b.nLast) {
        Emit(c);
    }
    if (b.nLast != b.nFirst) {
        Emit(b.last);
    }
}

void CTraceBuilder::StartRun(const CTracePoint& pt) {
    m_runStarts.push_back(m_points.size());
    m_points.push_back(pt);
    m_bRunOpen = true;
}

void CTraceBuilder::Emit(const CTracePoint& ptMapped) {
    // std::clamp keeps a nan (inf * 0 where a range maps to no pixels) as the lower bound.
    CTracePoint pt = ptMapped;
    pt.dX = std::isnan(pt.dX)
                ? m_rcClip.dLeft - FAR_OUTSIDE
                : std::clamp(pt.dX, m_rcClip.dLeft - FAR_OUTSIDE, m_rcClip.dRight + FAR_OUTSIDE);
    pt.dY = std::isnan(pt.dY)
                ? m_rcClip.dBottom + FAR_OUTSIDE
                : std::clamp(pt.dY, m_rcClip.dTop - FAR_OUTSIDE, m_rcClip.dBottom + FAR_OUTSIDE);
    if (!m_bPrevious) {
        m_bPrevious = true;
        m_previous = pt;
        if (Inside(m_rcClip, pt)) {
            StartRun(pt);
        }
        return;
    }
    CTracePoint a = m_previous;
    CTracePoint b = pt;
    m_previous = pt;
    if (!ClipSegment(m_rcClip, &a, &b)) {
        m_bRunOpen = false;
        return;
    }
    const CTracePoint& tail = m_points.empty() ? a : m_points.back();
    if (!m_bRunOpen || tail.dX != a.dX || tail.dY != a.dY) {
        StartRun(a);
    }
    m_points.push_back(b);
    // Leaving the plot area ends the run; the next segment back in starts a new one.
    m_bRunOpen = b.dX == pt.dX && b.dY == pt.dY;
}

void CTraceBuilder::Break() {
    m_bPrevious = false;
    m_bRunOpen = false;
}
