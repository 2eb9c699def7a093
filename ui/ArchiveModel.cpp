#include "ui/ArchiveModel.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {
// Below every number a read day can give: waiting and unreadable days sort last in
// descending order.
constexpr double NO_VALUE = -std::numeric_limits<double>::max();

QString Shown(const CFieldUnit& unit, double dField) {
    return QString::fromStdString(unit.Format(dField));
}

QString Clock(double dTime) {
    return QString::fromStdString(ClockText(dTime));
}

QString Duration(double dSeconds) {
    return QString::fromStdString(DurationText(dSeconds));
}

QString FromUtf8(const std::string& str) {
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}
} // namespace

CArchiveModel::CArchiveModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CArchiveModel::SetLevels(const CSummaryLevels& levels) {
    m_levels = levels;
    emit headerDataChanged(Qt::Horizontal, 0, COLUMN_COUNT - 1);
}

void CArchiveModel::SetUnit(const CFieldUnit& unit) {
    if (unit.bPotentialGradient == m_unit.bPotentialGradient) {
        return;
    }
    m_unit = unit;
    emit headerDataChanged(Qt::Horizontal, 0, COLUMN_COUNT - 1);
    if (!m_days.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, COLUMN_COUNT - 1));
    }
}

void CArchiveModel::SetDays(std::vector<CArchiveDay> days) {
    beginResetModel();
    m_days = std::move(days);
    endResetModel();
}

void CArchiveModel::AddDay(CArchiveDay day) {
    const int nRow = rowCount();
    beginInsertRows(QModelIndex(), nRow, nRow);
    m_days.push_back(std::move(day));
    endInsertRows();
}

void CArchiveModel::RemoveDay(int nRow) {
    beginRemoveRows(QModelIndex(), nRow, nRow);
    m_days.erase(m_days.begin() + nRow);
    endRemoveRows();
}

bool CArchiveModel::TakeScan(const CDayScan& scan) {
    const int nRow = RowOfPath(scan.file.strPath);
    if (nRow < 0) {
        return false;
    }
    CArchiveDay& day = m_days[static_cast<std::size_t>(nRow)];
    day.file = scan.file;
    day.eState = scan.bRead ? CArchiveDay::EState::Read : CArchiveDay::EState::Unreadable;
    day.strError = scan.strError;
    day.summary = scan.bRead ? scan.summary : CDaySummary{};
    emit dataChanged(index(nRow, 0), index(nRow, COLUMN_COUNT - 1));
    return true;
}

void CArchiveModel::SetWaiting(int nRow, const CDayFile& file) {
    CArchiveDay& day = m_days[static_cast<std::size_t>(nRow)];
    day.file = file;
    day.eState = CArchiveDay::EState::Waiting;
    emit dataChanged(index(nRow, 0), index(nRow, COLUMN_COUNT - 1));
}

int CArchiveModel::RowOfPath(const std::string& strPath) const {
    for (std::size_t i = 0; i < m_days.size(); ++i) {
        if (m_days[i].file.strPath == strPath) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CArchiveModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_days.size());
}

int CArchiveModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant CArchiveModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
    if (eOrientation != Qt::Horizontal || nRole != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
    }
    switch (nSection) {
    case COL_DATE:
        return QStringLiteral("Date");
    case COL_FILE:
        return QStringLiteral("File");
    case COL_READINGS:
        return QStringLiteral("Readings");
    case COL_COVERAGE:
        return QStringLiteral("Coverage");
    case COL_MIN:
        return QStringLiteral("Min (%1)").arg(QLatin1String(m_unit.Unit()));
    case COL_MAX:
        return QStringLiteral("Max (%1)").arg(QLatin1String(m_unit.Unit()));
    case COL_PEAK:
        return m_unit.bPotentialGradient ? QStringLiteral("Max |PG| (V/m)")
                                         : QStringLiteral("Max |E| (kV/m)");
    case COL_PEAK_TIME:
        return m_unit.bPotentialGradient ? QStringLiteral("Time of max |PG|")
                                         : QStringLiteral("Time of max |E|");
    case COL_WARNING:
        return m_levels.dWarning > 0.0 ? QStringLiteral("\u2265 %1 kV/m").arg(m_levels.dWarning)
                                       : QStringLiteral("\u2265 warning");
    case COL_ALERT:
        return m_levels.dAlert > 0.0 ? QStringLiteral("\u2265 %1 kV/m").arg(m_levels.dAlert)
                                     : QStringLiteral("\u2265 alert");
    case COL_EPISODES:
        return QStringLiteral("Alarms");
    default:
        return {};
    }
}

QVariant CArchiveModel::data(const QModelIndex& index, int nRole) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const CArchiveDay& day = m_days[static_cast<std::size_t>(index.row())];
    const int nColumn = index.column();
    switch (nRole) {
    case Qt::DisplayRole:
        return Display(day, nColumn);
    case SORT_ROLE:
        return SortKey(day, nColumn);
    case Qt::ToolTipRole:
        return Describe(index.row());
    case Qt::TextAlignmentRole:
        return nColumn == COL_DATE || nColumn == COL_FILE
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CArchiveModel::Display(const CArchiveDay& day, int nColumn) const {
    if (nColumn == COL_DATE) {
        return day.file.date ? QString::fromStdString(day.file.date->Text()) : QString();
    }
    if (nColumn == COL_FILE) {
        return FromUtf8(day.file.strName);
    }
    if (day.eState != CArchiveDay::EState::Read) {
        if (nColumn != COL_READINGS) {
            return {};
        }
        return day.eState == CArchiveDay::EState::Waiting ? QStringLiteral("\u2026")
                                                          : QStringLiteral("unreadable");
    }
    const CDaySummary& s = day.summary;
    const bool bValues = s.bAnyValue;
    switch (nColumn) {
    case COL_READINGS:
        return QLocale().toString(s.nReadings);
    case COL_COVERAGE:
        return QStringLiteral("%1 %").arg(100.0 * s.Coverage(), 0, 'f', 1);
    case COL_MIN:
    case COL_MAX: {
        const CShownExtremes shown = ShownExtremes(m_unit, {s.dMin}, {s.dMax});
        return bValues ? Shown(m_unit, (nColumn == COL_MIN ? shown.low : shown.high).dValue)
                       : QString();
    }
    case COL_PEAK:
        return bValues ? QString::fromStdString(m_unit.FormatSize(std::fabs(s.dPeak))) : QString();
    case COL_PEAK_TIME:
        return bValues ? Clock(s.dPeakTime) : QString();
    case COL_WARNING:
        return m_levels.dWarning > 0.0 ? Duration(s.dWarningSeconds) : QString();
    case COL_ALERT:
        return m_levels.dAlert > 0.0 ? Duration(s.dAlertSeconds) : QString();
    case COL_EPISODES:
        return m_levels.dAlert > 0.0 ? QString::number(s.nAlarmEpisodes) : QString();
    default:
        return {};
    }
}

QVariant CArchiveModel::SortKey(const CArchiveDay& day, int nColumn) const {
    if (nColumn == COL_DATE) {
        // Undated files below every date when the newest come first, in name order.
        return (day.file.date ? QStringLiteral("1") + QString::fromStdString(day.file.date->Text())
                              : QStringLiteral("0")) +
               FromUtf8(day.file.strName);
    }
    if (nColumn == COL_FILE) {
        return FromUtf8(day.file.strName);
    }
    if (day.eState != CArchiveDay::EState::Read) {
        return NO_VALUE;
    }
    const CDaySummary& s = day.summary;
    const bool bValues = s.bAnyValue;
    switch (nColumn) {
    case COL_READINGS:
        return s.nReadings;
    case COL_COVERAGE:
        return s.Coverage();
    case COL_MIN:
    case COL_MAX: {
        const CShownExtremes shown = ShownExtremes(m_unit, {s.dMin}, {s.dMax});
        return bValues ? m_unit.Shown((nColumn == COL_MIN ? shown.low : shown.high).dValue)
                       : NO_VALUE;
    }
    case COL_PEAK:
        return bValues ? std::fabs(s.dPeak) : NO_VALUE;
    case COL_PEAK_TIME:
        return bValues ? s.dPeakTime : NO_VALUE;
    case COL_WARNING:
        return s.dWarningSeconds;
    case COL_ALERT:
        return s.dAlertSeconds;
    case COL_EPISODES:
        return s.nAlarmEpisodes;
    default:
        return {};
    }
}

QString CArchiveModel::Describe(int nRow) const {
    const CArchiveDay& day = m_days[static_cast<std::size_t>(nRow)];
    QStringList lines;
    lines << (day.file.date ? QString::fromStdString(day.file.date->Text()) + QStringLiteral("  ")
                            : QString()) +
                 FromUtf8(day.file.strName);
    if (day.eState == CArchiveDay::EState::Waiting) {
        lines << QStringLiteral("Not read yet");
        return lines.join(QLatin1Char('\n'));
    }
    if (day.eState == CArchiveDay::EState::Unreadable) {
        lines << QStringLiteral("Cannot be read: ") + FromUtf8(day.strError);
        return lines.join(QLatin1Char('\n'));
    }
    const CDaySummary& s = day.summary;
    lines << QStringLiteral("%1 readings, coverage %2 %")
                 .arg(QLocale().toString(s.nReadings))
                 .arg(100.0 * s.Coverage(), 0, 'f', 1);
    if (s.bAnyValue) {
        const CShownExtremes shown =
            ShownExtremes(m_unit, {s.dMin, s.dMinTime}, {s.dMax, s.dMaxTime});
        const QString strUnit = QLatin1String(m_unit.Unit());
        lines << QStringLiteral("Min %1 %2 at %3")
                     .arg(Shown(m_unit, shown.low.dValue), strUnit, Clock(shown.low.dTime));
        lines << QStringLiteral("Max %1 %2 at %3")
                     .arg(Shown(m_unit, shown.high.dValue), strUnit, Clock(shown.high.dTime));
    }
    if (m_levels.dWarning > 0.0) {
        lines << QStringLiteral("At or above the warning level (%1 kV/m): %2")
                     .arg(m_levels.dWarning)
                     .arg(Duration(s.dWarningSeconds));
    }
    if (m_levels.dAlert > 0.0) {
        lines << QStringLiteral("At or above the alert level (%1 kV/m): %2")
                     .arg(m_levels.dAlert)
                     .arg(Duration(s.dAlertSeconds));
        lines << QStringLiteral("Alarms: %1").arg(s.nAlarmEpisodes);
    }
    if (s.nSkipped > 0) {
        lines << QStringLiteral("%1 lines skipped").arg(s.nSkipped);
    }
    return lines.join(QLatin1Char('\n'));
}
