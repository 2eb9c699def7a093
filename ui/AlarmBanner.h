#pragma once
// CAlarmBanner: the band across the top of the main window that an operator notices from across
// the room: the alert in red, the warning in amber, each with the all-clear countdown; after the
// all-clear, "Last alert" until someone acknowledges it (a click here, or the key it names); and,
// in an amber box of its own, that no readings have come for a while. It is a widget of its own
// above the chart, not part of the chart's drawing: the countdown repaints the band once a second
// and never the chart.

#include <QWidget>

#include <functional>
#include <string>

enum class EBannerTone { Alert, Warning, Notice };

struct CBannerContent {
    EBannerTone eTone = EBannerTone::Notice;
    std::string strMain;      // "ALERT |E| ≥ 5 kV/m since 14:55:12"; empty: no band at all
    std::string strCountdown; // "All clear in 12:34"
    std::string strQuiet;     // "No readings since 15:02:11", in amber
    std::string strHint;      // "Click or Ctrl+K to acknowledge"

    [[nodiscard]] bool Empty() const { return strMain.empty() && strQuiet.empty(); }
    bool operator==(const CBannerContent&) const = default;
};

class CAlarmBanner : public QWidget {
public:
    explicit CAlarmBanner(QWidget* pParent);

    // Repaints the band only when what it says changed.
    void SetContent(const CBannerContent& content);
    [[nodiscard]] const CBannerContent& Content() const { return m_content; }
    // The band's height in pixels (its large type plus a margin).
    [[nodiscard]] int BandHeight() const;
    // Called on a click.
    void SetOnClicked(std::function<void()> onClicked) { m_onClicked = std::move(onClicked); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    CBannerContent m_content;
    QFont m_font;
    QFont m_smallFont;
    std::function<void()> m_onClicked;
};
