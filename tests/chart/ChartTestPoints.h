#pragma once
// Points handed to a chart as the loader hands them: a 2 x N descriptor over the caller's pairs,
// passed by reference to method 129. Tests may spoil the descriptor before sending it.

#include "chart/ChartModel.h"

#include <vector>

class CPointArray {
public:
    explicit CPointArray(std::vector<CChartPoint> points) : m_points(std::move(points)) {
        (void)SafeArrayAllocDescriptor(2, &m_psa);
        m_psa->cbElements = sizeof(double);
        m_psa->pvData = m_points.data();
        m_psa->rgsabound[0].cElements = static_cast<ULONG>(m_points.size());
        m_psa->rgsabound[1].cElements = 2;
        m_var.vt = VT_ARRAY | VT_R8;
        m_var.parray = m_psa;
    }
    ~CPointArray() { SafeArrayDestroyDescriptor(m_psa); }
    CPointArray(const CPointArray&) = delete;
    CPointArray& operator=(const CPointArray&) = delete;

    HRESULT SendTo(IChartDispatch& chart) {
        const VARIANT args[2] = {MakeVariantI2(0), MakeVariantRef(&m_var)};
        return chart.Invoke(DispidOf(ChartId::SetPoints), DISPATCH_METHOD, args, 2);
    }

    std::vector<CChartPoint> m_points;
    SAFEARRAY* m_psa = nullptr;
    VARIANT m_var;
};
