#pragma once
// The chart for those who do not see it, and for keyboard users: an accessible interface for the
// chart widget (role Chart; the name and description the window gives it: the day, the span, the
// largest |E| and its time; the read-out as its value, announced when the cursor moves by keys),
// and a focus frame that shows once the keyboard is used in the chart, as the desktop shows focus
// cues, so a window worked with the mouse alone looks as it always did.

#include <string>

class QWidget;

// Makes the chart's interface the one assistive technologies see for pChart, and sets the frame
// that shows its focus. Call once per chart.
void MakeChartAccessible(QWidget* pChart);
// The read-out as the chart's accessible value; bAnnounce tells assistive technologies it changed.
void SetChartReadout(QWidget* pChart, const std::string& strReadout, bool bAnnounce);
// The chart's accessible value, as set.
[[nodiscard]] std::string ChartReadout(const QWidget* pChart);
