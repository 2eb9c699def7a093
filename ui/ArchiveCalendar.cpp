#include "ui/ArchiveCalendar.h"

#include "ui/ArchiveModel.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int GAP = 2;
constexpr int MARGIN = 6;
constexpr int DAYS_IN_ROW = 31;

// The fixed colour scale of a day's largest |E|: calm days in blues, disturbed ones from yellow
// to deep red. Fixed, so that the same colour means the same field in every folder and year.
struct CScaleClass {
    double dFrom; // kV/m
    QRgb rgb;
};
const CScaleClass SCALE[] = {
    {0.0, 0xdeebf7}, {0.5, 0x9ecae1},  {1.0, 0xffffb2},  {2.0, 0xfecc5c},
    {5.0, 0xfd8d3c}, {10.0, 0xf03b20}, {20.0, 0xbd0026},
};
const QColor WAITING_FILL(0xe4, 0xe4, 0xe4);
const QColor UNREADABLE_FILL(0x80, 0x80, 0x80);
const QColor EMPTY_BORDER(0xc8, 0xc8, 0xc8);

QColor ColourOfPeak(double dMagnitude) {
    QRgb rgb = SCALE[0].rgb;
    for (const CScaleClass& scale : SCALE) {
        if (dMagnitude >= scale.dFrom) {
            rgb = scale.rgb;
        }
    }
    return QColor(rgb);
}

int DaysInMonth(int nMonthIndex) {
    static const int s_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int nYear = nMonthIndex / 12;
    const int nMonth = nMonthIndex % 12;
    const bool bLeap = (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
    return s_days[nMonth] + (nMonth == 1 && bLeap ? 1 : 0);
}

QString MonthName(int nMonthIndex) {
    static const char* const s_names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QString::fromLatin1(s_names[nMonthIndex % 12]);
}

int DateKey(int nYear, int nMonth, int nDay) {
    return nYear * 10000 + nMonth * 100 + nDay;
}

// One entry of the legend: a swatch drawn by the calendar's own cell painting, and its label.
struct CLegendItem {
    enum class EKind { Scale, Empty, Waiting, Unreadable, Alert } eKind;
    QColor colour;
    QString strLabel;
};

// The classes' labels in the unit shown: "< 0.5", "0.5-1", ... "\u2265 20 kV/m" (or 500, 1000 ...
// V/m for the gradient, whose size is the field's).
std::vector<CLegendItem> LegendItems(const CFieldUnit& unit) {
    std::vector<CLegendItem> items;
    const std::size_t nClasses = std::size(SCALE);
    const auto bound = [&unit](double dField) {
        return QString::fromStdString(unit.FormatLevel(dField));
    };
    for (std::size_t i = 0; i < nClasses; ++i) {
        QString strLabel;
        if (i == 0) {
            strLabel = QStringLiteral("< ") + bound(SCALE[1].dFrom);
        } else if (i + 1 == nClasses) {
            strLabel = QStringLiteral("\u2265 ") + bound(SCALE[i].dFrom) + QLatin1Char(' ') +
                       QLatin1String(unit.Unit());
        } else {
            strLabel = bound(SCALE[i].dFrom) + QStringLiteral("\u2013") + bound(SCALE[i + 1].dFrom);
        }
        items.push_back({CLegendItem::EKind::Scale, QColor(SCALE[i].rgb), strLabel});
    }
    items.push_back({CLegendItem::EKind::Empty, {}, QStringLiteral("no file")});
    items.push_back({CLegendItem::EKind::Waiting, WAITING_FILL, QStringLiteral("not read yet")});
    items.push_back(
        {CLegendItem::EKind::Unreadable, UNREADABLE_FILL, QStringLiteral("unreadable")});
    items.push_back({CLegendItem::EKind::Alert, {}, QStringLiteral("time at or above alert")});
    return items;
}

void PaintCross(QPainter& painter, const QRect& rc) {
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawLine(rc.topLeft() + QPoint(3, 3), rc.bottomRight() - QPoint(3, 3));
    painter.drawLine(rc.topRight() + QPoint(-3, 3), rc.bottomLeft() + QPoint(3, -3));
}

void PaintAlertMark(QPainter& painter, const QRect& rc) {
    const int n = std::max(5, rc.height() / 3);
    QPainterPath path;
    path.moveTo(rc.right() + 1 - n, rc.top());
    path.lineTo(rc.right() + 1, rc.top());
    path.lineTo(rc.right() + 1, rc.top() + n);
    path.closeSubpath();
    painter.fillPath(path, Qt::black);
}
} // namespace

CArchiveCalendar::CArchiveCalendar(CArchiveModel* pModel, QWidget* pParent)
    : QWidget(pParent), m_pModel(pModel) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Calendar of the days"));
    connect(m_pModel, &QAbstractItemModel::modelReset, this, [this] { Rebuild(); });
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, [this] { Rebuild(); });
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, [this] { Rebuild(); });
    connect(m_pModel, &QAbstractItemModel::dataChanged, this, [this] { update(); });
    // The unit changed: the legend's labels with it.
    connect(m_pModel, &QAbstractItemModel::headerDataChanged, this, [this] { Rebuild(); });
    Layout();
    Rebuild();
}

void CArchiveCalendar::Layout() {
    const QFontMetrics fm = fontMetrics();
    m_nCell = std::max(16, fm.height() + 4);
    m_nLabelWidth = fm.horizontalAdvance(QStringLiteral("0000  Mmm")) + 2 * MARGIN;
    m_nHeaderHeight = fm.height() + 2 * GAP + MARGIN;
    // The legend flows in the grid's width.
    const int nWidth = DAYS_IN_ROW * (m_nCell + GAP);
    int nX = 0;
    int nLines = 2; // its title, then the first line of entries
    for (const CLegendItem& item : LegendItems(m_pModel->Unit())) {
        const int nItem = m_nCell + GAP * 2 + fm.horizontalAdvance(item.strLabel) + MARGIN * 2;
        if (nX > 0 && nX + nItem > nWidth) {
            ++nLines;
            nX = 0;
        }
        nX += nItem;
    }
    m_nLegendHeight = MARGIN * 2 + nLines * (m_nCell + GAP);
}

void CArchiveCalendar::Rebuild() {
    m_rowOfDate.clear();
    m_nNewest = -1;
    m_nOldest = -1;
    for (int nRow = 0; nRow < m_pModel->rowCount(); ++nRow) {
        const auto& date = m_pModel->Day(nRow).file.date;
        if (!date) {
            continue;
        }
        m_rowOfDate.emplace(DateKey(date->nYear, date->nMonth, date->nDay), nRow);
        const int nMonth = date->nYear * 12 + date->nMonth - 1;
        m_nNewest = m_nNewest < 0 ? nMonth : std::max(m_nNewest, nMonth);
        m_nOldest = m_nOldest < 0 ? nMonth : std::min(m_nOldest, nMonth);
    }
    if (!m_current.Valid() && m_nNewest >= 0) {
        // Start on the newest day that has a file.
        const int nKey = m_rowOfDate.rbegin()->first;
        m_current = {(nKey / 10000) * 12 + (nKey / 100) % 100 - 1, nKey % 100};
    } else if (m_current.Valid()) {
        m_current = Clamped(m_current.nMonth, m_current.nDay);
    }
    updateGeometry();
    update();
}

QSize CArchiveCalendar::sizeHint() const {
    const int nRows = m_nNewest < 0 ? 1 : m_nNewest - m_nOldest + 1;
    return {m_nLabelWidth + DAYS_IN_ROW * (m_nCell + GAP) + MARGIN,
            m_nHeaderHeight + nRows * (m_nCell + GAP) + m_nLegendHeight};
}

QRect CArchiveCalendar::CellRect(const CCell& cell) const {
    const int nRow = m_nNewest - cell.nMonth;
    return {m_nLabelWidth + (cell.nDay - 1) * (m_nCell + GAP),
            m_nHeaderHeight + nRow * (m_nCell + GAP), m_nCell, m_nCell};
}

CArchiveCalendar::CCell CArchiveCalendar::CellAt(const QPoint& pt) const {
    if (m_nNewest < 0 || pt.x() < m_nLabelWidth || pt.y() < m_nHeaderHeight) {
        return {};
    }
    const int nDay = (pt.x() - m_nLabelWidth) / (m_nCell + GAP) + 1;
    const int nRow = (pt.y() - m_nHeaderHeight) / (m_nCell + GAP);
    const CCell cell{m_nNewest - nRow, nDay};
    if (cell.nMonth < m_nOldest || nDay > DaysInMonth(cell.nMonth) ||
        !CellRect(cell).contains(pt)) {
        return {};
    }
    return cell;
}

int CArchiveCalendar::RowOfCell(const CCell& cell) const {
    if (!cell.Valid()) {
        return -1;
    }
    const auto it = m_rowOfDate.find(DateKey(cell.nMonth / 12, cell.nMonth % 12 + 1, cell.nDay));
    return it == m_rowOfDate.end() ? -1 : it->second;
}

CArchiveCalendar::CCell CArchiveCalendar::Clamped(int nMonth, int nDay) const {
    if (m_nNewest < 0) {
        return {};
    }
    nMonth = std::clamp(nMonth, m_nOldest, m_nNewest);
    return {nMonth, std::clamp(nDay, 1, DaysInMonth(nMonth))};
}

int CArchiveCalendar::CurrentRow() const {
    return RowOfCell(m_current);
}

QRect CArchiveCalendar::CellOfRow(int nRow) const {
    const auto& date = m_pModel->Day(nRow).file.date;
    if (!date || m_nNewest < 0) {
        return {};
    }
    return CellRect({date->nYear * 12 + date->nMonth - 1, date->nDay});
}

void CArchiveCalendar::SetCurrentRow(int nRow) {
    if (nRow < 0 || nRow >= m_pModel->rowCount()) {
        return;
    }
    const auto& date = m_pModel->Day(nRow).file.date;
    if (date) {
        const CCell cell{date->nYear * 12 + date->nMonth - 1, date->nDay};
        if (!(cell == m_current)) {
            m_current = cell;
            update();
        }
    }
}

void CArchiveCalendar::MoveTo(const CCell& cell) {
    if (!cell.Valid() || cell == m_current) {
        return;
    }
    m_current = cell;
    update();
    if (m_onCurrent) {
        m_onCurrent(RowOfCell(m_current));
    }
}

void CArchiveCalendar::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const QFontMetrics fm = fontMetrics();
    if (m_nNewest < 0) {
        painter.drawText(rect().adjusted(MARGIN, MARGIN, -MARGIN, -MARGIN),
                         Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No day file here carries a date in its name."));
        return;
    }
    // The days of the month across the top.
    for (int nDay = 1; nDay <= DAYS_IN_ROW; ++nDay) {
        const QRect rc = CellRect({m_nNewest, nDay});
        painter.drawText(QRect(rc.left() - GAP, MARGIN, rc.width() + 2 * GAP, fm.height()),
                         Qt::AlignCenter, QString::number(nDay));
    }
    QFont bold = font();
    bold.setBold(true);
    for (int nMonth = m_nNewest; nMonth >= m_nOldest; --nMonth) {
        const QRect rcFirst = CellRect({nMonth, 1});
        const QRect rcLabel(MARGIN, rcFirst.top(), m_nLabelWidth - 2 * MARGIN, m_nCell);
        painter.setPen(palette().text().color());
        // A year is marked where its newest month is: its name and a rule above it.
        if (nMonth == m_nNewest || nMonth % 12 == 11) {
            painter.setFont(bold);
            painter.drawText(rcLabel, Qt::AlignLeft | Qt::AlignVCenter,
                             QString::number(nMonth / 12));
            painter.setFont(font());
            if (nMonth != m_nNewest) {
                painter.setPen(palette().mid().color());
                painter.drawLine(MARGIN, rcFirst.top() - 1, width() - MARGIN, rcFirst.top() - 1);
                painter.setPen(palette().text().color());
            }
        }
        painter.drawText(rcLabel, Qt::AlignRight | Qt::AlignVCenter, MonthName(nMonth));
        for (int nDay = 1; nDay <= DaysInMonth(nMonth); ++nDay) {
            PaintCell(painter, {nMonth, nDay});
        }
    }
    if (m_current.Valid()) {
        const QRect rc = CellRect(m_current).adjusted(-2, -2, 1, 1);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(hasFocus() ? palette().highlight().color() : palette().text().color(),
                            2, hasFocus() ? Qt::SolidLine : Qt::DotLine));
        painter.drawRect(rc);
    }
    PaintLegend(painter);
}

void CArchiveCalendar::PaintCell(QPainter& painter, const CCell& cell) const {
    const QRect rc = CellRect(cell);
    const int nRow = RowOfCell(cell);
    if (nRow < 0) {
        painter.setPen(EMPTY_BORDER);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rc.adjusted(0, 0, -1, -1));
        return;
    }
    const CArchiveDay& day = m_pModel->Day(nRow);
    switch (day.eState) {
    case CArchiveDay::EState::Waiting:
        painter.fillRect(rc, WAITING_FILL);
        return;
    case CArchiveDay::EState::Unreadable:
        painter.fillRect(rc, UNREADABLE_FILL);
        PaintCross(painter, rc);
        return;
    case CArchiveDay::EState::Read:
        break;
    }
    const CDaySummary& summary = day.summary;
    if (!summary.bAnyValue) {
        // A file without readings: there, but nothing to colour.
        painter.setPen(palette().text().color());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rc.adjusted(0, 0, -1, -1));
        return;
    }
    painter.fillRect(rc, ColourOfPeak(std::fabs(summary.dPeak)));
    if (m_pModel->Levels().dAlert > 0.0 && summary.dAlertSeconds > 0.0) {
        PaintAlertMark(painter, rc);
    }
}

void CArchiveCalendar::PaintLegend(QPainter& painter) const {
    const QFontMetrics fm = fontMetrics();
    const int nTop = CellRect({m_nOldest, 1}).bottom() + MARGIN * 2;
    const int nLeft = m_nLabelWidth;
    const int nWidth = DAYS_IN_ROW * (m_nCell + GAP);
    painter.setPen(palette().text().color());
    painter.drawText(QRect(MARGIN, nTop, m_nLabelWidth + nWidth, m_nCell),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     m_pModel->Unit().bPotentialGradient
                         ? QStringLiteral("Colour: the day's largest |PG| (V/m)")
                         : QStringLiteral("Colour: the day's largest |E| (kV/m)"));
    int nX = 0;
    int nY = nTop + m_nCell + GAP;
    for (const CLegendItem& item : LegendItems(m_pModel->Unit())) {
        const int nText = fm.horizontalAdvance(item.strLabel);
        const int nItem = m_nCell + GAP * 2 + nText + MARGIN * 2;
        if (nX > 0 && nX + nItem > nWidth) {
            nX = 0;
            nY += m_nCell + GAP;
        }
        const QRect rcSwatch(nLeft + nX, nY, m_nCell, m_nCell);
        switch (item.eKind) {
        case CLegendItem::EKind::Scale:
        case CLegendItem::EKind::Waiting:
            painter.fillRect(rcSwatch, item.colour);
            break;
        case CLegendItem::EKind::Unreadable:
            painter.fillRect(rcSwatch, item.colour);
            PaintCross(painter, rcSwatch);
            break;
        case CLegendItem::EKind::Empty:
            painter.setPen(EMPTY_BORDER);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rcSwatch.adjusted(0, 0, -1, -1));
            break;
        case CLegendItem::EKind::Alert:
            painter.setPen(EMPTY_BORDER);
            painter.drawRect(rcSwatch.adjusted(0, 0, -1, -1));
            PaintAlertMark(painter, rcSwatch);
            break;
        }
        painter.setPen(palette().text().color());
        painter.drawText(QRect(rcSwatch.right() + GAP * 2, nY, nText + MARGIN, m_nCell),
                         Qt::AlignLeft | Qt::AlignVCenter, item.strLabel);
        nX += nItem;
    }
}

bool CArchiveCalendar::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::ToolTip) {
        const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
        const CCell cell = CellAt(pHelp->pos());
        if (!cell.Valid()) {
            QToolTip::hideText();
            pEvent->ignore();
            return true;
        }
        const int nRow = RowOfCell(cell);
        const QString strDate = QStringLiteral("%1-%2-%3")
                                    .arg(cell.nMonth / 12, 4, 10, QLatin1Char('0'))
                                    .arg(cell.nMonth % 12 + 1, 2, 10, QLatin1Char('0'))
                                    .arg(cell.nDay, 2, 10, QLatin1Char('0'));
        QToolTip::showText(pHelp->globalPos(),
                           nRow >= 0 ? m_pModel->Describe(nRow)
                                     : strDate + QStringLiteral("\nNo file for this day"),
                           this, CellRect(cell));
        return true;
    }
    if (pEvent->type() == QEvent::FontChange) {
        Layout();
        updateGeometry();
    }
    return QWidget::event(pEvent);
}

void CArchiveCalendar::mousePressEvent(QMouseEvent* pEvent) {
    MoveTo(CellAt(pEvent->position().toPoint()));
    QWidget::mousePressEvent(pEvent);
}

void CArchiveCalendar::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    const CCell cell = CellAt(pEvent->position().toPoint());
    MoveTo(cell);
    if (const int nRow = RowOfCell(cell); nRow >= 0 && m_onOpen) {
        m_onOpen(nRow);
    }
}

void CArchiveCalendar::keyPressEvent(QKeyEvent* pEvent) {
    if (!m_current.Valid()) {
        QWidget::keyPressEvent(pEvent);
        return;
    }
    const int nMonth = m_current.nMonth;
    const int nDay = m_current.nDay;
    switch (pEvent->key()) {
    case Qt::Key_Left:
        MoveTo(nDay > 1 ? Clamped(nMonth, nDay - 1)
                        : (nMonth > m_nOldest ? Clamped(nMonth - 1, 31) : m_current));
        break;
    case Qt::Key_Right:
        MoveTo(nDay < DaysInMonth(nMonth)
                   ? Clamped(nMonth, nDay + 1)
                   : (nMonth < m_nNewest ? Clamped(nMonth + 1, 1) : m_current));
        break;
    case Qt::Key_Up:
        MoveTo(Clamped(nMonth + 1, nDay));
        break;
    case Qt::Key_Down:
        MoveTo(Clamped(nMonth - 1, nDay));
        break;
    case Qt::Key_PageUp:
        MoveTo(Clamped(nMonth + 12, nDay));
        break;
    case Qt::Key_PageDown:
        MoveTo(Clamped(nMonth - 12, nDay));
        break;
    case Qt::Key_Home:
        MoveTo(Clamped(nMonth, 1));
        break;
    case Qt::Key_End:
        MoveTo(Clamped(nMonth, 31));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int nRow = CurrentRow(); nRow >= 0 && m_onOpen) {
            m_onOpen(nRow);
        }
        break;
    default:
        QWidget::keyPressEvent(pEvent);
        return;
    }
    pEvent->accept();
}
