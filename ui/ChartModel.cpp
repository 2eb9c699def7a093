#include "ui/ChartModel.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {
constexpr COLORREF INITIAL_TRACE = 0x00FFFF00;
constexpr COLORREF INITIAL_AXES = 0x00FFFFFF;
constexpr COLORREF INITIAL_GRID = 0x00808080;
constexpr COLORREF INITIAL_LABEL = 0x00FFFFFF;

enum class EPropertyKind { Any, Colour, Real, Text, Integer };

EPropertyKind KindOf(DISPID dispid) {
    switch (dispid) {
    case ChartId::TRACE_COLOUR:
    case ChartId::GRID_COLOUR:
    case ChartId::AXIS_COLOUR:
    case ChartId::BACK_COLOUR:
    case ChartId::TEXT_COLOUR:
    case ChartId::LABEL_COLOUR:
    case DISPID_BACKCOLOR:
        return EPropertyKind::Colour;
    case ChartId::PLOT_BOTTOM:
    case ChartId::PLOT_TOP:
    case ChartId::PLOT_LEFT:
    case ChartId::PLOT_RIGHT:
    case ChartId::VALUE_MIN:
    case ChartId::VALUE_MAX:
    case ChartId::TIME_MIN:
    case ChartId::TIME_MAX:
    case ChartId::LABEL_X:
    case ChartId::LABEL_Y:
        return EPropertyKind::Real;
    case ChartId::FORMAT_SECONDS:
    case ChartId::FORMAT_MINUTES:
    case ChartId::FORMAT_HOURS:
    case ChartId::FORMAT_DAYS:
    case ChartId::FORMAT_YEARS:
    case ChartId::FORMAT_94:
    case ChartId::FORMAT_MONTHS:
    case DISPID_CAPTION:
        return EPropertyKind::Text;
    case ChartId::LABEL_SELECT:
    case ChartId::LABEL_COUNT:
        return EPropertyKind::Integer;
    default:
        return EPropertyKind::Any;
    }
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

CStripChartModel::CStripChartModel() {
    m_labels.push_back({"kV / m", INITIAL_LABEL, 0.0, 0.49});
    m_labels.push_back({"T i m e", INITIAL_LABEL, 0.5, 0.98});
    m_labels.push_back({"", INITIAL_LABEL, 0.5, 0.0});
}

HRESULT CStripChartModel::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    if (nArgs > 0 && pArgs == nullptr) {
        return E_INVALIDARG;
    }
    if (wFlags == DISPATCH_PROPERTYPUT) {
        return nArgs == 1 ? PutProperty(dispid, pArgs[0]) : E_INVALIDARG;
    }
    if (wFlags != DISPATCH_METHOD) {
        return E_INVALIDARG;
    }
    switch (dispid) {
    case ChartId::METHOD_CLEAR:
        m_points.clear();
        ++m_nRevision;
        return S_OK;
    case ChartId::METHOD_SET_POINTS:
        return SetPoints(pArgs, nArgs);
    case ChartId::METHOD_DRAW_TO_DC:
        return DrawToDevice(pArgs, nArgs);
    default:
        return E_INVALIDARG;
    }
}

CChartLabel& CStripChartModel::LabelAt(int nIndex) {
    while (static_cast<int>(m_labels.size()) <= nIndex) {
        m_labels.push_back({"", INITIAL_LABEL, 0.0, 0.0});
    }
    return m_labels[static_cast<std::size_t>(nIndex)];
}

HRESULT CStripChartModel::PutProperty(DISPID dispid, const VARIANT& var) {
    LONG nValue = 0;
    double dValue = 0.0;
    switch (KindOf(dispid)) {
    case EPropertyKind::Colour:
    case EPropertyKind::Integer:
        if (!VariantToLong(var, &nValue)) {
            return E_INVALIDARG;
        }
        break;
    case EPropertyKind::Real:
        if (!VariantToReal(var, &dValue)) {
            return E_INVALIDARG;
        }
        break;
    case EPropertyKind::Text:
        if (var.vt != VT_BSTR) {
            return E_INVALIDARG;
        }
        break;
    case EPropertyKind::Any:
        break;
    }
    switch (dispid) {
    case ChartId::LABEL_SELECT:
        if (nValue < 0 || nValue >= MAX_CHART_LABELS) {
            return E_INVALIDARG;
        }
        m_nSelectedLabel = static_cast<int>(nValue);
        (void)LabelAt(m_nSelectedLabel);
        break;
    case ChartId::LABEL_COUNT:
        if (nValue < 0 || nValue > MAX_CHART_LABELS) {
            return E_INVALIDARG;
        }
        m_nShownLabels = static_cast<int>(nValue);
        break;
    case ChartId::LABEL_COLOUR:
        LabelAt(m_nSelectedLabel).crColour = static_cast<COLORREF>(nValue);
        break;
    case ChartId::LABEL_X:
        LabelAt(m_nSelectedLabel).dX = dValue;
        break;
    case ChartId::LABEL_Y:
        LabelAt(m_nSelectedLabel).dY = dValue;
        break;
    case DISPID_CAPTION:
        LabelAt(CAPTION_LABEL).strText = var.bstrVal;
        break;
    case ChartId::BACK_COLOUR:
    case DISPID_BACKCOLOR:
        m_crBack = static_cast<COLORREF>(nValue);
        break;
    default:
        break;
    }
    m_properties[dispid] = var;
    ++m_nRevision;
    return S_OK;
}

HRESULT CStripChartModel::SetPoints(const VARIANT* pArgs, UINT nArgs) {
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
    try {
        m_points.resize(nPoints);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (nPoints > 0) {
        std::memcpy(m_points.data(), psa->pvData, nPoints * sizeof(CChartPoint));
    }
    ++m_nRevision;
    return S_OK;
}

HRESULT CStripChartModel::DrawToDevice(const VARIANT* pArgs, UINT nArgs) const {
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
    const double dLimit = MAX_DEVICE_EXTENT;
    for (double dEdge : {rc.dLeft, rc.dTop, rc.dRight, rc.dBottom}) {
        if (!std::isfinite(dEdge) || std::fabs(dEdge) > dLimit) {
            return E_INVALIDARG;
        }
    }
    // An empty rectangle draws nothing: a page narrower than an inch gives width 0.
    if (!(rc.Width() > 0.0) || !(rc.Height() > 0.0)) {
        return S_OK;
    }
    if (m_pRenderer != nullptr) {
        m_pRenderer->DrawOnDevice(target, rc);
    }
    return S_OK;
}

const VARIANT* CStripChartModel::FindProperty(DISPID dispid) const {
    const auto it = m_properties.find(dispid);
    return it != m_properties.end() ? &it->second : nullptr;
}

COLORREF CStripChartModel::ColourOf(DISPID dispid, COLORREF crDefault) const {
    LONG nValue = 0;
    const VARIANT* pvar = FindProperty(dispid);
    return pvar != nullptr && VariantToLong(*pvar, &nValue) ? static_cast<COLORREF>(nValue)
                                                            : crDefault;
}

double CStripChartModel::RealOf(DISPID dispid, double dDefault) const {
    double dValue = 0.0;
    const VARIANT* pvar = FindProperty(dispid);
    return pvar != nullptr && VariantToReal(*pvar, &dValue) ? dValue : dDefault;
}

std::string CStripChartModel::TextOf(DISPID dispid, const std::string& strDefault) const {
    const VARIANT* pvar = FindProperty(dispid);
    return pvar != nullptr && pvar->vt == VT_BSTR ? pvar->bstrVal : strDefault;
}

COLORREF CStripChartModel::TraceColour() const {
    return ColourOf(ChartId::TRACE_COLOUR, INITIAL_TRACE);
}

COLORREF CStripChartModel::AxisColour() const {
    return ColourOf(ChartId::AXIS_COLOUR, INITIAL_AXES);
}

COLORREF CStripChartModel::TextColour() const {
    return ColourOf(ChartId::TEXT_COLOUR, INITIAL_AXES);
}

COLORREF CStripChartModel::GridColour() const {
    return ColourOf(ChartId::GRID_COLOUR, INITIAL_GRID);
}

CChartRange CStripChartModel::TimeRange() const {
    return {RealOf(ChartId::TIME_MIN, DEFAULT_TIME_RANGE.dLower),
            RealOf(ChartId::TIME_MAX, DEFAULT_TIME_RANGE.dUpper)};
}

CChartRange CStripChartModel::ValueRange() const {
    return {RealOf(ChartId::VALUE_MIN, DEFAULT_VALUE_RANGE.dLower),
            RealOf(ChartId::VALUE_MAX, DEFAULT_VALUE_RANGE.dUpper)};
}

CPlotFractions CStripChartModel::PlotFractions() const {
    const CPlotFractions defaults;
    return {RealOf(ChartId::PLOT_BOTTOM, defaults.dBottom),
            RealOf(ChartId::PLOT_TOP, defaults.dTop), RealOf(ChartId::PLOT_LEFT, defaults.dLeft),
            RealOf(ChartId::PLOT_RIGHT, defaults.dRight)};
}

CTimeFormats CStripChartModel::TimeFormats() const {
    const CTimeFormats defaults;
    CTimeFormats formats;
    formats.strSeconds = TextOf(ChartId::FORMAT_SECONDS, defaults.strSeconds);
    formats.strMinutes = TextOf(ChartId::FORMAT_MINUTES, defaults.strMinutes);
    formats.strHours = TextOf(ChartId::FORMAT_HOURS, defaults.strHours);
    formats.strDays = TextOf(ChartId::FORMAT_DAYS, defaults.strDays);
    formats.strYears = TextOf(ChartId::FORMAT_YEARS, defaults.strYears);
    formats.strWeeks = TextOf(ChartId::FORMAT_94, defaults.strWeeks);
    formats.strMonths = TextOf(ChartId::FORMAT_MONTHS, defaults.strMonths);
    return formats;
}
