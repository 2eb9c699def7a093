#pragma once
// CStripChartModel: the strip chart's state behind its one dispatch entry point, without Qt.
//
// The program writes numbered properties and calls methods 127 (discard the points), 129 (all
// points in one call) and 140 (draw onto a device context). Every write is kept as given, one
// VARIANT per DISPID, and the writes that concern labels (58 selects, 56, 60, 61 apply to the
// selected label, 59 is the number shown, the Caption is label 2's text) are applied to the label
// list. Method 129 copies the points out of the SAFEARRAY it is handed, so the chart never holds
// on to the caller's memory. Each change bumps the revision, which tells the widget to repaint;
// method 140 goes to the renderer that the widget installs.

#include "platform/Automation.h"
#include "platform/DeviceContext.h"
#include "ui/ChartGeometry.h"
#include "ui/ChartTicks.h"
#include "ui/ChartTrace.h"
#include "ui/Strip.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct CChartLabel {
    std::string strText;
    COLORREF crColour = 0x00FFFFFF;
    double dX = 0.0; // fraction of the chart's width
    double dY = 0.0; // fraction of the chart's height
};

// Draws the chart onto a resolved device context, in a rectangle given in device pixels.
class IChartDeviceRenderer {
public:
    virtual ~IChartDeviceRenderer() = default;
    virtual void DrawOnDevice(const CDeviceContextTarget& target, const CChartRect& rcDevice) = 0;
};

// Labels 0 to MAX_CHART_LABELS - 1 can be selected and shown.
constexpr int MAX_CHART_LABELS = 16;
constexpr int CAPTION_LABEL = 2;
// The most points one method 129 call may hand over; more is refused, not truncated.
constexpr std::uint32_t MAX_CHART_POINTS = 1U << 24;
// Method 140 refuses a rectangle larger than this many device pixels across or down.
constexpr double MAX_DEVICE_EXTENT = 1e6;

class CStripChartModel : public IChartDispatch {
public:
    CStripChartModel();

    // S_OK, or E_INVALIDARG for a call that is ignored (wrong argument count or type, a malformed
    // point array, an unknown method or device context). No call throws or crashes.
    HRESULT Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) override;

    // The renderer method 140 draws with; null (the default) makes 140 draw nothing.
    void SetDeviceRenderer(IChartDeviceRenderer* pRenderer) { m_pRenderer = pRenderer; }

    // Grows with every change that shows: property writes, 127 and 129.
    [[nodiscard]] std::uint64_t Revision() const { return m_nRevision; }

    // The latest write of a property as given, or null when it was never written.
    [[nodiscard]] const VARIANT* FindProperty(DISPID dispid) const;

    // The points of the latest method 129 call (none after 127).
    [[nodiscard]] const std::vector<CChartPoint>& Points() const { return m_points; }

    [[nodiscard]] const std::vector<CChartLabel>& Labels() const { return m_labels; }
    [[nodiscard]] int SelectedLabel() const { return m_nSelectedLabel; }
    // Labels 0 to ShownLabelCount() - 1 are drawn (property 59).
    [[nodiscard]] int ShownLabelCount() const { return m_nShownLabels; }

    // Drawing state, from the properties with the chart's initial state where none was written.
    [[nodiscard]] COLORREF BackColour() const { return m_crBack; }
    [[nodiscard]] COLORREF TraceColour() const;
    [[nodiscard]] COLORREF AxisColour() const;
    [[nodiscard]] COLORREF TextColour() const;
    [[nodiscard]] COLORREF GridColour() const;
    [[nodiscard]] CChartRange TimeRange() const;  // 102 to 101, as written
    [[nodiscard]] CChartRange ValueRange() const; // 32 to 33, as written
    [[nodiscard]] CPlotFractions PlotFractions() const;
    [[nodiscard]] CTimeFormats TimeFormats() const;

private:
    HRESULT PutProperty(DISPID dispid, const VARIANT& var);
    HRESULT SetPoints(const VARIANT* pArgs, UINT nArgs);
    HRESULT DrawToDevice(const VARIANT* pArgs, UINT nArgs) const;
    CChartLabel& LabelAt(int nIndex);

    [[nodiscard]] COLORREF ColourOf(DISPID dispid, COLORREF crDefault) const;
    [[nodiscard]] double RealOf(DISPID dispid, double dDefault) const;
    [[nodiscard]] std::string TextOf(DISPID dispid, const std::string& strDefault) const;

    std::map<DISPID, VARIANT> m_properties;
    std::vector<CChartPoint> m_points;
    std::vector<CChartLabel> m_labels;
    int m_nSelectedLabel = 0;
    int m_nShownLabels = 2;
    COLORREF m_crBack = 0x00000000;
    std::uint64_t m_nRevision = 0;
    IChartDeviceRenderer* m_pRenderer = nullptr;
};

// Reads a VARIANT as a number (VT_I2, VT_I4, VT_R8, VT_BOOL). False for other types.
[[nodiscard]] bool VariantToReal(const VARIANT& var, double* pdValue);
// Reads a VARIANT as a 32-bit integer (VT_I2, VT_I4, VT_BOOL). False for other types.
[[nodiscard]] bool VariantToLong(const VARIANT& var, LONG* pnValue);
