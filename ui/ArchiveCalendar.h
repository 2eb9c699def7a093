#pragma once
// CArchiveCalendar: the archive overview's calendar. One row per month, newest at the top, from
// the folder's newest dated day back to its oldest, the years marked; one cell per day of the
// month. A day with a file is coloured by its largest |E| on a fixed scale shown in the legend
// below; a day with no file is an empty cell, a file not read yet is grey, one that cannot be read
// is crossed out, and a small triangle marks a day with time at or above the alert level.
//
// It reads the days from the overview's model and repaints when they change. Pointing at a cell
// describes the day; clicking or the arrow keys move the current cell (Left and Right a day, Up
// and Down a month, Page Up and Page Down a year, Home and End the month's ends); Enter or a
// double-click opens the day.

#include <QWidget>

#include <functional>
#include <map>

class CArchiveModel;

class CArchiveCalendar : public QWidget {
public:
    explicit CArchiveCalendar(CArchiveModel* pModel, QWidget* pParent = nullptr);

    // The model row to open (Enter, double-click).
    void SetOnOpen(std::function<void(int nRow)> fnOpen) { m_onOpen = std::move(fnOpen); }
    // The model row of the new current cell, or -1 for a day without a file.
    void SetOnCurrent(std::function<void(int nRow)> fnCurrent) {
        m_onCurrent = std::move(fnCurrent);
    }

    // Makes the cell of that model row current (nothing for a row without a date).
    void SetCurrentRow(int nRow);
    // The model row of the current cell, -1 when it has no file.
    [[nodiscard]] int CurrentRow() const;
    // The cell of a model row, empty when the row has no cell.
    [[nodiscard]] QRect CellOfRow(int nRow) const;
    // The current cell, empty when there is none.
    [[nodiscard]] QRect CurrentCell() const {
        return m_current.Valid() ? CellRect(m_current) : QRect();
    }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    bool event(QEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    // A day as a cell: months counted from year 0 (year * 12 + month - 1), and the day.
    struct CCell {
        int nMonth = -1;
        int nDay = 0;
        [[nodiscard]] bool Valid() const { return nMonth >= 0; }
        bool operator==(const CCell&) const = default;
    };

    void Rebuild();
    void Layout();
    [[nodiscard]] QRect CellRect(const CCell& cell) const;
    [[nodiscard]] CCell CellAt(const QPoint& pt) const;
    [[nodiscard]] int RowOfCell(const CCell& cell) const;
    [[nodiscard]] CCell Clamped(int nMonth, int nDay) const;
    void MoveTo(const CCell& cell);
    void PaintCell(QPainter& painter, const CCell& cell) const;
    void PaintLegend(QPainter& painter) const;

    CArchiveModel* m_pModel;
    std::function<void(int)> m_onOpen;
    std::function<void(int)> m_onCurrent;
    std::map<int, int> m_rowOfDate; // year * 10000 + month * 100 + day -> the first such row
    int m_nNewest = -1;             // months of the top and bottom rows; -1 without dated days
    int m_nOldest = -1;
    CCell m_current;
    // Geometry, from the font.
    int m_nLabelWidth = 0;
    int m_nHeaderHeight = 0;
    int m_nCell = 0;
    int m_nLegendHeight = 0;
};
