#pragma once
// CSpanPanel: a small panel in the chart's top right corner with the figures of the span in view
// (chart/SpanStatistics.h): shown after a span is chosen with Shift+drag or by View > Statistics
// of the view, kept up to date while it is open, copied as text by its Copy button, closed by its
// close button or the command again.

#include "chart/SpanStatistics.h"

#include <QFrame>

#include <functional>
#include <string>

class CStripChart;
class QLabel;

class CSpanPanel : public QFrame {
public:
    // onClosed runs when the user closes the panel with its button.
    CSpanPanel(CStripChart* pChart, std::function<void()> onClosed);

    void ShowStatistics(const CSpanStatistics& stats);
    // The figures as the panel shows them and Copy copies them.
    [[nodiscard]] const std::string& Text() const { return m_strText; }
    void CopyToClipboard() const;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Place();

    CStripChart* m_pChart;
    std::function<void()> m_onClosed;
    QLabel* m_pFigures = nullptr;
    std::string m_strText;
};
