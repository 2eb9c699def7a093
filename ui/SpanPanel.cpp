#include "ui/SpanPanel.h"

#include "chart/StripChart.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int PANEL_MARGIN = 6; // from the plot's frame
} // namespace

CSpanPanel::CSpanPanel(CStripChart* pChart, std::function<void()> onClosed)
    : QFrame(pChart), m_pChart(pChart), m_onClosed(std::move(onClosed)) {
    setFrameShape(QFrame::StyledPanel);
    // The desktop's colours, not the chart's.
    setPalette(QApplication::palette(this));
    setAutoFillBackground(true);
    setAccessibleName(QStringLiteral("Statistics of the view"));

    auto* pTitle = new QLabel(QStringLiteral("Statistics of the view"), this);
    QFont bold = pTitle->font();
    bold.setBold(true);
    pTitle->setFont(bold);
    auto* pCopy = new QToolButton(this);
    pCopy->setText(QStringLiteral("Copy"));
    pCopy->setToolTip(QStringLiteral("Copy the figures as text"));
    auto* pClose = new QToolButton(this);
    pClose->setText(QStringLiteral("\u00d7"));
    pClose->setToolTip(QStringLiteral("Close the statistics"));
    pClose->setAccessibleName(QStringLiteral("Close"));
    // Reached with Tab; a click leaves the keys with the chart.
    pCopy->setFocusPolicy(Qt::TabFocus);
    pClose->setFocusPolicy(Qt::TabFocus);
    QObject::connect(pCopy, &QToolButton::clicked, this, [this] { CopyToClipboard(); });
    QObject::connect(pClose, &QToolButton::clicked, this, [this] {
        hide();
        if (m_onClosed) {
            m_onClosed();
        }
    });

    m_pFigures = new QLabel(this);
    m_pFigures->setTextFormat(Qt::PlainText);
    m_pFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* pHead = new QHBoxLayout;
    pHead->addWidget(pTitle, 1);
    pHead->addWidget(pCopy);
    pHead->addWidget(pClose);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(PANEL_MARGIN, PANEL_MARGIN / 2, PANEL_MARGIN, PANEL_MARGIN);
    pLayout->addLayout(pHead);
    pLayout->addWidget(m_pFigures);
    pChart->installEventFilter(this);
    hide();
}

void CSpanPanel::ShowStatistics(const CSpanStatistics& stats) {
    m_strText = FormatSpanStatistics(stats);
    std::string strShown = m_strText;
    while (!strShown.empty() && strShown.back() == '\n') {
        strShown.pop_back();
    }
    m_pFigures->setText(QString::fromStdString(strShown));
    adjustSize();
    Place();
    show();
    raise();
}

void CSpanPanel::CopyToClipboard() const {
    QApplication::clipboard()->setText(QString::fromStdString(m_strText));
}

bool CSpanPanel::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == m_pChart && pEvent->type() == QEvent::Resize) {
        Place();
    }
    return false;
}

void CSpanPanel::Place() {
    const CChartRect rcPlot = m_pChart->Geometry().Plot();
    move(std::max(0, static_cast<int>(rcPlot.dRight) - width() - PANEL_MARGIN),
         static_cast<int>(rcPlot.dTop) + PANEL_MARGIN);
}
