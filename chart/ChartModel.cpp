#include "chart/ChartModel.h"

#include "chart/ChartView.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {
constexpr COLORREF INITIAL_LABEL = 0x00FFFFFF;

// ---- Reading an argument in the type a member takes ----------------------------------------

HRESULT PutLong(const VARIANT& var, LONG* pn) {
    return VariantToLong(var, pn) ? S_OK : E_INVALIDARG;
}

HRESULT PutShort(const VARIANT& var, SHORT* pn) {
    LONG n = 0;
    if (!VariantToLong(var, &n)) {
        return E_INVALIDARG;
    }
    *pn = static_cast<SHORT>(n);
    return S_OK;
}

HRESULT PutColour(const VARIANT& var, COLORREF* pcr) {
    LONG n = 0;
    if (!VariantToLong(var, &n)) {
        return E_INVALIDARG;
    }
    *pcr = static_cast<COLORREF>(n);
    return S_OK;
}

HRESULT PutReal(const VARIANT& var, double* pd) {
    return VariantToReal(var, pd) ? S_OK : E_INVALIDARG;
}

HRESULT PutBool(const VARIANT& var, bool* pb) {
    LONG n = 0;
    if (!VariantToLong(var, &n)) {
        return E_INVALIDARG;
    }
    *pb = n != 0;
    return S_OK;
}

HRESULT PutText(const VARIANT& var, std::string* pstr) {
    if (var.vt != VT_BSTR) {
        return E_INVALIDARG;
    }
    *pstr = TextOfVariant(var);
    return S_OK;
}

CChartLabel& LabelAt(CChartState& s, int nIndex) {
    while (static_cast<int>(s.labels.size()) <= nIndex) {
        s.labels.push_back({"", INITIAL_LABEL, 0.0, 0.0});
    }
    return s.labels[static_cast<std::size_t>(nIndex)];
}

CChartLabel& SelectedLabel(CChartState& s) {
    return LabelAt(s, s.nSelectedLabel);
}

HRESULT PutLabelIndex(const VARIANT& var, int nLimit, int* pnIndex) {
    LONG n = 0;
    if (!VariantToLong(var, &n) || n < 0 || n > nLimit) {
        return E_INVALIDARG;
    }
    *pnIndex = static_cast<int>(n);
    return S_OK;
}

// ---- The table: every property the chart takes, and the field it writes ---------------------

using PutFn = HRESULT (*)(CChartState&, const VARIANT&);

struct CPropertyEntry {
    ChartId id;
    PutFn pfnPut;
};

// clang-format off
const CPropertyEntry s_properties[] = {
    {ChartId::Kept1,         [](CChartState& s, const VARIANT& v) { return PutLong(v, &s.kept.n1); }},
    {ChartId::Kept2,         [](CChartState& s, const VARIANT& v) { return PutLong(v, &s.kept.n2); }},
    {ChartId::Kept3,         [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n3); }},
    {ChartId::Kept4,         [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n4); }},
    {ChartId::PlotBottom,    [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.plot.dBottom); }},
    {ChartId::PlotTop,       [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.plot.dTop); }},
    {ChartId::PlotLeft,      [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.plot.dLeft); }},
    {ChartId::PlotRight,     [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.plot.dRight); }},
    {ChartId::PointCapacity, [](CChartState& s, const VARIANT& v) { return PutLong(v, &s.kept.nPointCapacity); }},
    {ChartId::TraceColour,   [](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crTrace); }},
    {ChartId::Kept21,        [](CChartState& s, const VARIANT& v) { return PutLong(v, &s.kept.n21); }},
    {ChartId::TimeSpan,      [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.kept.dTimeSpan); }},
    {ChartId::Kept23,        [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n23); }},
    {ChartId::TimeEnd,       [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.kept.dTimeEnd); }},
    {ChartId::GridColour,    [](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crGrid); }},
    {ChartId::Kept26,        [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n26); }},
    {ChartId::Kept27,        [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n27); }},
    {ChartId::AxisColour,    [](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crAxes); }},
    {ChartId::BackColour,    [](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crBack); }},
    {ChartId::StockBackColor,[](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crBack); }},
    {ChartId::ValueMin,      [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.value.dLower); }},
    {ChartId::ValueMax,      [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.value.dUpper); }},
    {ChartId::TextColour,    [](CChartState& s, const VARIANT& v) { return PutColour(v, &s.crText); }},
    {ChartId::LabelColour,   [](CChartState& s, const VARIANT& v) { return PutColour(v, &SelectedLabel(s).crColour); }},
    {ChartId::LabelSelect,   [](CChartState& s, const VARIANT& v) {
         const HRESULT hr = PutLabelIndex(v, MAX_CHART_LABELS - 1, &s.nSelectedLabel);
         (void)SelectedLabel(s); // a selected label exists, even before anything is written to it
         return hr; }},
    {ChartId::LabelCount,    [](CChartState& s, const VARIANT& v) { return PutLabelIndex(v, MAX_CHART_LABELS, &s.nShownLabels); }},
    {ChartId::LabelX,        [](CChartState& s, const VARIANT& v) { return PutReal(v, &SelectedLabel(s).dX); }},
    {ChartId::LabelY,        [](CChartState& s, const VARIANT& v) { return PutReal(v, &SelectedLabel(s).dY); }},
    {ChartId::Kept70,        [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n70); }},
    {ChartId::Kept81,        [](CChartState& s, const VARIANT& v) { return PutShort(v, &s.kept.n81); }},
    {ChartId::Kept88,        [](CChartState& s, const VARIANT& v) { return PutLong(v, &s.kept.n88); }},
    {ChartId::FormatSeconds, [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strSeconds); }},
    {ChartId::FormatMinutes, [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strMinutes); }},
    {ChartId::FormatHours,   [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strHours); }},
    {ChartId::FormatDays,    [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strDays); }},
    {ChartId::FormatYears,   [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strYears); }},
    {ChartId::FormatWeeks,   [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strWeeks); }},
    {ChartId::FormatMonths,  [](CChartState& s, const VARIANT& v) { return PutText(v, &s.formats.strMonths); }},
    {ChartId::TimeMax,       [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.time.dUpper); }},
    {ChartId::TimeMin,       [](CChartState& s, const VARIANT& v) { return PutReal(v, &s.time.dLower); }},
    {ChartId::Kept111,       [](CChartState& s, const VARIANT& v) { return PutBool(v, &s.kept.b111); }},
    {ChartId::StockCaption,  [](CChartState& s, const VARIANT& v) { return PutText(v, &LabelAt(s, CAPTION_LABEL).strText); }},
};
// clang-format on

const CPropertyEntry* FindProperty(DISPID dispid) {
    for (const CPropertyEntry& entry : s_properties) {
        if (DispidOf(entry.id) == dispid) {
            return &entry;
        }
    }
    return nullptr;
}

// The points argument of method 129: a VARIANT by reference to a VT_ARRAY | VT_R8 VARIANT (a
// VT_ARRAY | VT_R8 VARIANT passed directly is taken too). Null when it is neither.
const SAFEARRAY* PointArrayOf(const VARIANT& var) {
    const VARIANT* pvar = &var;
    if (var.vt == (VT_VARIANT | VT_BYREF)) {
        pvar = var.pvarVal;
    }
    if (pvar == nullptr || pvar->vt != (VT_ARRAY | VT_R8)) {
        return nullptr;
    }
    return pvar->parray;
}
} // namespace

bool VariantToReal(const VARIANT& var, double* pdValue) {
    switch (var.vt) {
    case VT_I2:
        *pdValue = var.iVal;
        return true;
    case VT_I4:
        *pdValue = var.lVal;
        return true;
    case VT_R8:
        *pdValue = var.dblVal;
        return true;
    case VT_BOOL:
        *pdValue = var.boolVal != VARIANT_FALSE ? 1.0 : 0.0;
        return true;
    default:
        return false;
    }
}

bool VariantToLong(const VARIANT& var, LONG* pnValue) {
    switch (var.vt) {
    case VT_I2:
        *pnValue = var.iVal;
        return true;
    case VT_I4:
        *pnValue = var.lVal;
        return true;
    case VT_BOOL:
        *pnValue = var.boolVal != VARIANT_FALSE ? 1 : 0;
        return true;
    default:
        return false;
    }
}

CChartState::CChartState() {
    labels.push_back({CFieldUnit{}.AxisTitle(), INITIAL_LABEL, 0.0, 0.49});
    labels.push_back({"T i m e", INITIAL_LABEL, 0.5, 0.98});
    labels.push_back({"", INITIAL_LABEL, 0.5, 0.0});
}

HRESULT CChartModel::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    if (nArgs > 0 && pArgs == nullptr) {
        return E_INVALIDARG;
    }
    if (wFlags == DISPATCH_PROPERTYPUT) {
        const CPropertyEntry* pEntry = FindProperty(dispid);
        if (pEntry == nullptr || nArgs != 1) {
            return E_INVALIDARG;
        }
        // An entry writes nothing when the argument has the wrong type or is out of range.
        const HRESULT hr = pEntry->pfnPut(m_state, pArgs[0]);
        if (hr == S_OK) {
            ++m_nRevision;
        }
        return hr;
    }
    if (wFlags != DISPATCH_METHOD) {
        return E_INVALIDARG;
    }
    switch (static_cast<ChartId>(dispid)) {
    case ChartId::ClearPoints:
        m_state.points.clear();
        m_state.bPointsOrdered = true;
        ++m_nRevision;
        return S_OK;
    case ChartId::SetPoints:
        return SetPoints(pArgs, nArgs);
    case ChartId::DrawToDC:
        return DrawToDevice(pArgs, nArgs);
    default:
        return E_INVALIDARG;
    }
}

HRESULT CChartModel::SetPoints(const VARIANT* pArgs, UINT nArgs) {
    LONG nZero = 0;
    if (nArgs != 2 || !VariantToLong(pArgs[0], &nZero)) {
        return E_INVALIDARG;
    }
    const SAFEARRAY* psa = PointArrayOf(pArgs[1]);
    // A 2 x N array of doubles: time and value of each point side by side, N points.
    if (psa == nullptr || psa->cDims != 2 || psa->cbElements != sizeof(double) ||
        psa->rgsabound[1].cElements != 2) {
        return E_INVALIDARG;
    }
    const ULONG nPoints = psa->rgsabound[0].cElements;
    if (nPoints > MAX_CHART_POINTS || (nPoints > 0 && psa->pvData == nullptr)) {
        return E_INVALIDARG;
    }
    // The caller's array only lives for the call, so the chart keeps a copy; its capacity
    // is reused from one load to the next.
    // assign writes each page once (a resize would zero it first).
    const auto* pFirst = static_cast<const CChartPoint*>(psa->pvData);
    try {
        m_state.points.assign(pFirst, pFirst + nPoints);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    m_state.bPointsOrdered = CPointIndex(m_state.points).Ordered();
    ++m_nRevision;
    return S_OK;
}

void CChartModel::SetView(const CChartView& view) {
    m_state.view = view;
    ++m_nRevision;
}

void CChartModel::SetAlarmLevels(const CAlarmLevels& alarms) {
    m_state.overlay.alarms = alarms;
    ++m_nRevision;
}

void CChartModel::SetCursor(bool bShow, double dTime) {
    m_state.overlay.bCursor = bShow;
    m_state.overlay.dCursorTime = dTime;
    ++m_nRevision;
}

void CChartModel::SetFlashMarks(std::span<const double> times) {
    m_state.overlay.flashes.assign(times.begin(), times.end());
    ++m_nRevision;
}

void CChartModel::SetFieldUnit(const CFieldUnit& unit) {
    m_state.unit = unit;
    if (!m_state.labels.empty()) {
        m_state.labels[0].strText = unit.AxisTitle();
    }
    ++m_nRevision;
}

void CChartModel::ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) {
    std::vector<CChartPoint>& points = m_state.points;
    nFirst = std::min(nFirst, points.size());
    if (nFirst + records.size() > MAX_CHART_POINTS) {
        return;
    }
    points.resize(nFirst);
    // The points kept were in order (or none are kept); the new ones must follow on.
    bool bOrdered = nFirst == 0 || m_state.bPointsOrdered;
    double dLast = points.empty() ? -HUGE_VAL : points.back().dTime;
    for (const FieldSample& sample : records) {
        bOrdered = bOrdered && sample.dTime >= dLast;
        dLast = sample.dTime;
    }
    m_state.bPointsOrdered = bOrdered;
    // push_back grows the capacity geometrically: an appended reading costs the same at the end
    // of a day as at its start.
    try {
        for (const FieldSample& sample : records) {
            points.push_back({sample.dTime, sample.dValue});
        }
    } catch (const std::bad_alloc&) {
        // What fitted still shows.
    }
    ++m_nRevision;
}

HRESULT CChartModel::DrawToDevice(const VARIANT* pArgs, UINT nArgs) const {
    LONG hDC = 0;
    double d[4] = {};
    if (nArgs != 5 || !VariantToLong(pArgs[0], &hDC)) {
        return E_INVALIDARG;
    }
    for (int i = 0; i < 4; ++i) {
        if (!VariantToReal(pArgs[i + 1], &d[i])) {
            return E_INVALIDARG;
        }
    }
    CDeviceContextTarget target;
    if (!ResolveDeviceContext(hDC, &target) || target.pPainter == nullptr ||
        !(target.dDpiX > 0.0) || !(target.dDpiY > 0.0)) {
        return E_INVALIDARG;
    }
    const CChartRect rc{d[0] * target.dDpiX, d[1] * target.dDpiY, (d[0] + d[2]) * target.dDpiX,
                        (d[1] + d[3]) * target.dDpiY};
    for (double dEdge : {rc.dLeft, rc.dTop, rc.dRight, rc.dBottom}) {
        if (!std::isfinite(dEdge) || std::fabs(dEdge) > MAX_DEVICE_EXTENT) {
            return E_INVALIDARG;
        }
    }
    // An empty rectangle draws nothing: a page narrower than an inch gives width 0.
    if (!(rc.Width() > 0.0) || !(rc.Height() > 0.0)) {
        return S_OK;
    }
    if (m_pRenderer != nullptr) {
        m_pRenderer->DrawOnDevice(target, rc, m_state);
    }
    return S_OK;
}
