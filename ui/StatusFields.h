#pragma once
// CStatusFields: the status line as labelled fields, left to right by rank. Each field shows one
// short text and has a tooltip with its full text. When the line is too narrow, fields are dropped
// whole, the highest rank first, so the first fields (the read-out above all) never lose a
// character to a narrow window, a large font or a scaled screen.
//
// Adding a field is one call: Set(kind, text, tooltip) with a CStatusFieldKind that names the
// field and gives its rank; an empty text takes the field off the line.

#include <QWidget>

#include <string>
#include <vector>

class QLabel;

struct CStatusFieldKind {
    const char* pszName; // for tests and for whoever reads the line
    int nRank;           // the order on the line; the lowest stays longest
};

// The viewer's fields, in the order they are kept.
inline constexpr CStatusFieldKind STATUS_READOUT{"readout", 100};   // the reading under the cursor
inline constexpr CStatusFieldKind STATUS_ALERT{"alert", 200};       // ALERT since ...
inline constexpr CStatusFieldKind STATUS_TROUBLE{"trouble", 300};   // the file is gone, ...
inline constexpr CStatusFieldKind STATUS_FLASHES{"flashes", 350};   // flashes in the last 10 min
inline constexpr CStatusFieldKind STATUS_VIEW{"view", 400};         // the span in view
inline constexpr CStatusFieldKind STATUS_EXTREMES{"extremes", 500}; // the day's min and max
inline constexpr CStatusFieldKind STATUS_LEVELS{"levels", 600};     // time above the levels in view
inline constexpr CStatusFieldKind STATUS_DATE{"date", 700};         // the day's date
inline constexpr CStatusFieldKind STATUS_READINGS{"readings", 800}; // the day's readings

enum class EStatusTone { Normal, Alert };

class CStatusFields : public QWidget {
    Q_OBJECT

public:
    explicit CStatusFields(QWidget* pParent = nullptr);

    // Shows strText in the field (an empty text takes it off the line); strToolTip says in full
    // what it is (the text itself when empty).
    void Set(const CStatusFieldKind& kind, const std::string& strText,
             const std::string& strToolTip = {}, EStatusTone eTone = EStatusTone::Normal);
    // The field's text, shown or dropped; empty for a field not set.
    [[nodiscard]] std::string Text(const CStatusFieldKind& kind) const;
    // The names of the fields on the line now, left to right.
    [[nodiscard]] std::vector<std::string> Shown() const;
    // The texts on the line now, as one line.
    [[nodiscard]] std::string ShownText() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    struct CField {
        std::string strName;
        int nRank = 0;
        std::string strText;
        QLabel* pLabel = nullptr;
    };
    // Places the fields that fit, in rank order, and hides the rest.
    void Arrange();
    [[nodiscard]] int Spacing() const;

    std::vector<CField> m_fields; // by rank
};
