#include "ui/ChartAccess.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {
// The dynamic property that holds the read-out for the accessible interface.
constexpr const char* READOUT_PROPERTY = "quillonReadout";
constexpr const char* ACCESSIBLE_CHART_PROPERTY = "quillonAccessibleChart";

class CChartAccessible : public QAccessibleWidget {
public:
    explicit CChartAccessible(QWidget* pChart) : QAccessibleWidget(pChart, QAccessible::Chart) {}

    [[nodiscard]] QString text(QAccessible::Text eText) const override {
        if (eText == QAccessible::Value) {
            return widget()->property(READOUT_PROPERTY).toString();
        }
        return QAccessibleWidget::text(eText);
    }
};

QAccessibleInterface* ChartFactory(const QString& /*strClass*/, QObject* pObject) {
    auto* pWidget = qobject_cast<QWidget*>(pObject);
    if (pWidget != nullptr && pWidget->property(ACCESSIBLE_CHART_PROPERTY).toBool()) {
        return new CChartAccessible(pWidget);
    }
    return nullptr;
}

// A frame over the chart that shows its focus once keys are used there, until the mouse is.
class CFocusCue : public QWidget {
public:
    explicit CFocusCue(QWidget* pChart) : QWidget(pChart) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(pChart->rect());
        pChart->installEventFilter(this);
        show();
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        auto* pChart = static_cast<QWidget*>(pWatched);
        switch (pEvent->type()) {
        case QEvent::Resize:
            setGeometry(pChart->rect());
            break;
        case QEvent::KeyPress:
            Show(true);
            break;
        case QEvent::FocusIn: {
            const Qt::FocusReason eReason = static_cast<QFocusEvent*>(pEvent)->reason();
            if (eReason == Qt::TabFocusReason || eReason == Qt::BacktabFocusReason) {
                Show(true);
            }
            update();
            break;
        }
        case QEvent::MouseButtonPress:
            Show(false);
            break;
        case QEvent::FocusOut:
            update();
            break;
        default:
            break;
        }
        return false;
    }

    void paintEvent(QPaintEvent* /*pEvent*/) override {
        if (!m_bCue || !parentWidget()->hasFocus()) {
            return;
        }
        // Dotted, as a focus rectangle is, and light on the dark chart.
        QPainter painter(this);
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }

private:
    void Show(bool bCue) {
        if (m_bCue != bCue) {
            m_bCue = bCue;
            update();
        }
    }

    bool m_bCue = false;
};
} // namespace

void MakeChartAccessible(QWidget* pChart) {
    static const bool s_bInstalled = [] {
        QAccessible::installFactory(ChartFactory);
        return true;
    }();
    (void)s_bInstalled;
    pChart->setProperty(ACCESSIBLE_CHART_PROPERTY, true);
    pChart->setAccessibleName(QStringLiteral("Field strength chart"));
    new CFocusCue(pChart);
}

void SetChartReadout(QWidget* pChart, const std::string& strReadout, bool bAnnounce) {
    const QString str = QString::fromStdString(strReadout);
    if (pChart->property(READOUT_PROPERTY).toString() == str) {
        return;
    }
    pChart->setProperty(READOUT_PROPERTY, str);
    if (bAnnounce && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(pChart, str);
        QAccessible::updateAccessibility(&event);
    }
}

std::string ChartReadout(const QWidget* pChart) {
    return pChart->property(READOUT_PROPERTY).toString().toStdString();
}
