#include "ui/Strip.h"

CStrip g_Chart;

void CStrip::Call(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    // Results are never examined: a component that refuses a write changes nothing here.
    if (m_pTarget != nullptr) {
        (void)m_pTarget->Invoke(dispid, wFlags, pArgs, nArgs);
    }
}

void CStrip::SetProperty(DISPID dispid, const VARIANT& var) {
    Call(dispid, DISPATCH_PROPERTYPUT, &var, 1);
}

void CStrip::SetPropertyI2(DISPID dispid, SHORT nValue) {
    SetProperty(dispid, MakeVariantI2(nValue));
}

void CStrip::SetPropertyI4(DISPID dispid, LONG nValue) {
    SetProperty(dispid, MakeVariantI4(nValue));
}

void CStrip::SetPropertyR8(DISPID dispid, double dValue) {
    SetProperty(dispid, MakeVariantR8(dValue));
}

void CStrip::SetPropertyBool(DISPID dispid, bool bValue) {
    SetProperty(dispid, MakeVariantBool(bValue));
}

void CStrip::SetPropertyBstr(DISPID dispid, const std::string& strValue) {
    SetProperty(dispid, MakeVariantBstr(strValue));
}

void CStrip::InvokeMethod127() {
    Call(ChartId::METHOD_CLEAR, DISPATCH_METHOD, nullptr, 0);
}

void CStrip::InvokeMethod129(SHORT nZero, VARIANT* pvarPoints) {
    const VARIANT args[2] = {MakeVariantI2(nZero), MakeVariantRef(pvarPoints)};
    Call(ChartId::METHOD_SET_POINTS, DISPATCH_METHOD, args, 2);
}

void CStrip::InvokeMethod140(LONG hDC, double dLeft, double dTop, double dWidth, double dHeight) {
    const VARIANT args[5] = {MakeVariantI4(hDC), MakeVariantR8(dLeft), MakeVariantR8(dTop),
                             MakeVariantR8(dWidth), MakeVariantR8(dHeight)};
    Call(ChartId::METHOD_DRAW_TO_DC, DISPATCH_METHOD, args, 5);
}
