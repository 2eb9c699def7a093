#pragma once
// CArchiveModel: the days of the archive overview as a table (a row per file of the folder, in the
// folder's day order), for the table view through a sorting proxy and for the calendar, which
// reads the same rows. A row is waiting until its summary arrives, then read or unreadable.
//
// Each cell gives its text to show, its number to sort by (SORT_ROLE: a waiting or unreadable day
// sorts below every read one), and a tooltip.

#include "data/DaySummary.h"
#include "data/FieldUnit.h"
#include "doc/ArchiveScan.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

class QString;

struct CArchiveDay {
    enum class EState { Waiting, Read, Unreadable };
    CDayFile file;
    EState eState = EState::Waiting;
    std::string strError; // why it is unreadable
    CDaySummary summary;
};

class CArchiveModel : public QAbstractTableModel {
public:
    enum EColumn {
        COL_DATE,
        COL_FILE,
        COL_READINGS,
        COL_COVERAGE,
        COL_MIN,
        COL_MAX,
        COL_PEAK,
        COL_PEAK_TIME,
        COL_WARNING,
        COL_ALERT,
        COL_EPISODES,
        COLUMN_COUNT
    };
    static constexpr int SORT_ROLE = Qt::UserRole;

    explicit CArchiveModel(QObject* pParent = nullptr);

    void SetLevels(const CSummaryLevels& levels);
    [[nodiscard]] const CSummaryLevels& Levels() const { return m_levels; }
    // How readings are written: the field in kV/m or the potential gradient in V/m. The sort
    // follows the numbers shown.
    void SetUnit(const CFieldUnit& unit);
    [[nodiscard]] const CFieldUnit& Unit() const { return m_unit; }

    void SetDays(std::vector<CArchiveDay> days);
    void AddDay(CArchiveDay day);
    void RemoveDay(int nRow);
    // Takes what the scan found for the file at strPath; false when the folder no longer has it.
    bool TakeScan(const CDayScan& scan);
    // Marks the row as waiting for a new summary (its file changed to file).
    void SetWaiting(int nRow, const CDayFile& file);

    [[nodiscard]] const CArchiveDay& Day(int nRow) const {
        return m_days[static_cast<std::size_t>(nRow)];
    }
    [[nodiscard]] const std::vector<CArchiveDay>& Days() const { return m_days; }
    [[nodiscard]] int RowOfPath(const std::string& strPath) const;

    // The multi-line description of a day, for the calendar's and the table's tooltips.
    [[nodiscard]] QString Describe(int nRow) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int nRole) const override;
    [[nodiscard]] QVariant headerData(int nSection, Qt::Orientation eOrientation,
                                      int nRole) const override;

private:
    [[nodiscard]] QVariant Display(const CArchiveDay& day, int nColumn) const;
    [[nodiscard]] QVariant SortKey(const CArchiveDay& day, int nColumn) const;

    std::vector<CArchiveDay> m_days;
    CSummaryLevels m_levels;
    CFieldUnit m_unit;
};
