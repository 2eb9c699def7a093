#pragma once
// CChartModel: the strip chart's state behind its one door, without Qt.
//
// A property write or method call arrives as a number with VARIANT arguments; one table in the
// .cpp maps each number to a field of CChartState or to an operation, and refuses a write of the
// wrong type. Method 129 copies the points out of the SAFEARRAY it is handed, so the chart never
// holds on to the caller's memory. The viewer's own changes (view, alarm levels, cursor, appended
// readings) arrive as typed operations. Each change bumps the revision, which tells the widget to
// repaint; method 140 resolves its device context and hands the painter to the renderer installed
// beside the model (the widget's, or export's).

#include "chart/ChartState.h"
#include "chart/Strip.h"
#include "platform/DeviceContext.h"

#include <cstdint>

// Draws the chart onto a resolved device context, in a rectangle given in device pixels.
class IChartDeviceRenderer {
public:
    virtual ~IChartDeviceRenderer() = default;
    virtual void DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice,
                              const CChartState& state) = 0;
};

// The most points one method 129 call may hand over; more is refused, not truncated.
constexpr std::uint32_t MAX_CHART_POINTS = 1U << 24;
// Method 140 refuses a rectangle larger than this many device pixels across or down.
constexpr double MAX_DEVICE_EXTENT = 1e6;

class CChartModel : public IChartDispatch {
public:
    // S_OK, or E_INVALIDARG for a call that is ignored (wrong argument count or type, a malformed
    // point array, an unknown member or device context). No call throws or crashes.
    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;
    void SetView(const CChartView& view) override;
    void SetAlarmLevels(const CAlarmLevels& alarms) override;
    void SetCursor(bool bShow, double dTime) override;
    void SetFlashMarks(std::span<const double> times) override;
    void SetFieldUnit(const CFieldUnit& unit) override;
    // More than MAX_CHART_POINTS in all are refused, as method 129 refuses them.
    void ReplacePointsFrom(std::size_t nFirst, std::span<const FieldSample> records) override;
    [[nodiscard]] const CChartState& State() const override { return m_state; }

    // The renderer method 140 draws with; null (the default) makes 140 draw nothing.
    void SetDeviceRenderer(IChartDeviceRenderer* pRenderer) { m_pRenderer = pRenderer; }

    // Grows with every change that shows.
    [[nodiscard]] std::uint64_t Revision() const { return m_nRevision; }

private:
    HRESULT SetPoints(const VARIANT* pArgs, UINT nArgs);
    HRESULT DrawToDevice(const VARIANT* pArgs, UINT nArgs) const;

    CChartState m_state;
    std::uint64_t m_nRevision = 0;
    IChartDeviceRenderer* m_pRenderer = nullptr;
};

// Reads a VARIANT as a number (VT_I2, VT_I4, VT_R8, VT_BOOL). False for other types.
[[nodiscard]] bool VariantToReal(const VARIANT& var, double* pdValue);
// Reads a VARIANT as a 32-bit integer (VT_I2, VT_I4, VT_BOOL). False for other types.
[[nodiscard]] bool VariantToLong(const VARIANT& var, LONG* pnValue);
