#include "chart/Strip.h"

void CStrip::Put(ChartId id, const VARIANT& var) {
    // Results are never examined: a component that refuses a write changes nothing here.
    if (m_pTarget != nullptr) {
        (void)m_pTarget->Invoke(DispidOf(id), DISPATCH_PROPERTYPUT, &var, 1);
    }
}

void CStrip::Call(ChartId id, const VARIANT* pArgs, UINT nArgs) {
    if (m_pTarget != nullptr) {
        (void)m_pTarget->Invoke(DispidOf(id), DISPATCH_METHOD, pArgs, nArgs);
    }
}

void CStrip::SetPropertyI2(ChartId id, SHORT nValue) {
    Put(id, MakeVariantI2(nValue));
}

void CStrip::SetPropertyI4(ChartId id, LONG nValue) {
    Put(id, MakeVariantI4(nValue));
}

void CStrip::SetPropertyR8(ChartId id, double dValue) {
    Put(id, MakeVariantR8(dValue));
}

void CStrip::SetPropertyBool(ChartId id, bool bValue) {
    Put(id, MakeVariantBool(bValue));
}

void CStrip::SetPropertyBstr(ChartId id, const std::string& strValue) {
    VARIANT var = MakeVariantBstr(strValue);
    Put(id, var);
    ClearVariant(&var);
}

void CStrip::ClearPoints() {
    Call(ChartId::ClearPoints, nullptr, 0);
}

void CStrip::SetPoints(SHORT nZero, VARIANT* pvarPoints) {
    const VARIANT args[2] = {MakeVariantI2(nZero), MakeVariantRef(pvarPoints)};
    if (m_pTarget != nullptr) { // the day's road: straight to the chart
        (void)m_pTarget->Invoke(DispidOf(ChartId::SetPoints), DISPATCH_METHOD, args, 2);
    }
}

void CStrip::DrawToDC(LONG hDC, double dLeft, double dTop, double dWidth, double dHeight) {
    const VARIANT args[5] = {MakeVariantI4(hDC), MakeVariantR8(dLeft), MakeVariantR8(dTop),
                             MakeVariantR8(dWidth), MakeVariantR8(dHeight)};
    Call(ChartId::DrawToDC, args, 5);
}

void CStrip::SetView(const CChartView& view) {
    if (m_pTarget != nullptr) {
        m_pTarget->SetView(view);
    }
}

void CStrip::SetAlarmLevels(const CAlarmLevels& alarms) {
    if (m_pTarget != nullptr) {
        m_pTarget->SetAlarmLevels(alarms);
    }
}

void CStrip::SetCursor(bool bShow, double dTime) {
    if (m_pTarget != nullptr) {
        m_pTarget->SetCursor(bShow, dTime);
    }
}

void CStrip::SetFlashMarks(std::span<const double> times) {
    if (m_pTarget != nullptr) {
        m_pTarget->SetFlashMarks(times);
    }
}

void CStrip::SetFieldUnit(const CFieldUnit& unit) {
    if (m_pTarget != nullptr) {
        m_pTarget->SetFieldUnit(unit);
    }
}

void CStrip::ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) {
    if (m_pTarget != nullptr) {
        m_pTarget->ReplacePointsFrom(nFirst, records);
    }
}

const CChartState& CStrip::State() const {
    static const CChartState s_empty; // immutable: nothing bound shows nothing
    return m_pTarget != nullptr ? m_pTarget->State() : s_empty;
}
