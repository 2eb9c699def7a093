#include "ui/AlarmBanner.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr double LARGE = 1.8;   // times the window's own type
constexpr double MARGIN = 0.35; // of a line, above and below

struct CTone {
    QColor back;
    QColor text;
};

CTone ToneOf(EBannerTone eTone) {
    switch (eTone) {
    case EBannerTone::Alert:
        return {QColor(0xc0, 0x10, 0x10), Qt::white};
    case EBannerTone::Warning:
        return {QColor(0xff, 0xb0, 0x00), Qt::black};
    case EBannerTone::Notice:
        break;
    }
    return {QColor(0x40, 0x40, 0x48), Qt::white};
}

const CTone QUIET_TONE{QColor(0xff, 0xb0, 0x00), Qt::black};
} // namespace

CAlarmBanner::CAlarmBanner(QWidget* pParent) : QWidget(pParent) {
    // The band paints all of itself: a repaint never reaches the chart below.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("alarmBanner"));
    m_font = font();
    if (m_font.pointSizeF() > 0.0) {
        m_font.setPointSizeF(m_font.pointSizeF() * LARGE);
    } else {
        m_font.setPixelSize(static_cast<int>(m_font.pixelSize() * LARGE));
    }
    m_font.setBold(true);
    m_smallFont = font();
    setCursor(Qt::PointingHandCursor);
    hide();
}

int CAlarmBanner::BandHeight() const {
    return static_cast<int>(QFontMetrics(m_font).height() * (1.0 + 2 * MARGIN));
}

void CAlarmBanner::SetContent(const CBannerContent& content) {
    if (content == m_content) {
        return;
    }
    m_content = content;
    setToolTip(QString::fromStdString(content.strHint));
    update();
}

void CAlarmBanner::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    const QRect rc = rect();
    const CTone tone = m_content.strMain.empty() ? QUIET_TONE : ToneOf(m_content.eTone);
    painter.fillRect(rc, tone.back);
    const int nPad = QFontMetrics(m_font).height() / 2;
    QRect rcText = rc.adjusted(nPad, 0, -nPad, 0);
    // The silent logger, right, in its own amber box when it shares the band with an alarm.
    if (!m_content.strQuiet.empty()) {
        const QString str = QString::fromStdString(m_content.strQuiet);
        painter.setFont(m_content.strMain.empty() ? m_font : m_smallFont);
        const int nWidth = painter.fontMetrics().horizontalAdvance(str) + 2 * nPad;
        const QRect rcQuiet = m_content.strMain.empty()
                                  ? rc
                                  : QRect(rc.right() - nWidth + 1, rc.top(), nWidth, rc.height());
        painter.fillRect(rcQuiet, QUIET_TONE.back);
        painter.setPen(QUIET_TONE.text);
        painter.drawText(
            rcQuiet.adjusted(nPad, 0, -nPad, 0),
            Qt::AlignVCenter | (m_content.strMain.empty() ? Qt::AlignLeft : Qt::AlignRight), str);
        rcText.setRight(rcQuiet.left() - nPad);
    }
    painter.setPen(tone.text);
    // Right of the message: the countdown, read from afar too, or the hint how to acknowledge.
    const bool bCountdown = !m_content.strCountdown.empty();
    if (bCountdown || !m_content.strHint.empty()) {
        painter.setFont(bCountdown ? m_font : m_smallFont);
        const QString str =
            QString::fromStdString(bCountdown ? m_content.strCountdown : m_content.strHint);
        painter.drawText(rcText, Qt::AlignVCenter | Qt::AlignRight, str);
        rcText.setRight(rcText.right() - painter.fontMetrics().horizontalAdvance(str) - nPad);
    }
    if (!m_content.strMain.empty()) {
        painter.setFont(m_font);
        painter.drawText(rcText, Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(QString::fromStdString(m_content.strMain),
                                                          Qt::ElideRight, rcText.width()));
    }
}

void CAlarmBanner::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton && m_onClicked) {
        m_onClicked();
    }
}
