#include "ui/StatusFields.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {
const char* const ALERT_STYLE = "QLabel { color: white; background: #c02020; padding: 0 3px; }";
// Room between two fields, in average character widths.
constexpr int FIELD_SPACING_CHARS = 3;
} // namespace

CStatusFields::CStatusFields(QWidget* pParent) : QWidget(pParent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void CStatusFields::Set(const CStatusFieldKind& kind, const std::string& strText,
                        const std::string& strToolTip, EStatusTone eTone) {
    auto it = std::find_if(m_fields.begin(), m_fields.end(),
                           [&kind](const CField& field) { return field.strName == kind.pszName; });
    if (it == m_fields.end()) {
        if (strText.empty()) {
            return;
        }
        CField field;
        field.strName = kind.pszName;
        field.nRank = kind.nRank;
        field.pLabel = new QLabel(this);
        field.pLabel->setTextFormat(Qt::PlainText);
        field.pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        field.pLabel->setObjectName(QString::fromLatin1(kind.pszName));
        field.pLabel->hide();
        it = m_fields.insert(
            std::upper_bound(m_fields.begin(), m_fields.end(), kind.nRank,
                             [](int nRank, const CField& other) { return nRank < other.nRank; }),
            std::move(field));
    }
    const QString strStyle =
        eTone == EStatusTone::Alert ? QString::fromLatin1(ALERT_STYLE) : QString();
    const QString strTip = QString::fromStdString(strToolTip.empty() ? strText : strToolTip);
    if (it->strText == strText && it->pLabel->toolTip() == strTip &&
        it->pLabel->styleSheet() == strStyle) {
        return;
    }
    it->strText = strText;
    it->pLabel->setText(QString::fromStdString(strText));
    it->pLabel->setToolTip(strTip);
    it->pLabel->setStyleSheet(strStyle);
    Arrange();
    updateGeometry();
}

std::string CStatusFields::Text(const CStatusFieldKind& kind) const {
    for (const CField& field : m_fields) {
        if (field.strName == kind.pszName) {
            return field.strText;
        }
    }
    return {};
}

std::vector<std::string> CStatusFields::Shown() const {
    std::vector<std::string> names;
    for (const CField& field : m_fields) {
        if (!field.pLabel->isHidden()) {
            names.push_back(field.strName);
        }
    }
    return names;
}

std::string CStatusFields::ShownText() const {
    std::string str;
    for (const CField& field : m_fields) {
        if (!field.pLabel->isHidden()) {
            str += (str.empty() ? "" : "   ") + field.strText;
        }
    }
    return str;
}

int CStatusFields::Spacing() const {
    return FIELD_SPACING_CHARS * fontMetrics().averageCharWidth();
}

QSize CStatusFields::sizeHint() const {
    int nWidth = 0;
    int nHeight = fontMetrics().height();
    for (const CField& field : m_fields) {
        if (!field.strText.empty()) {
            const QSize sz = field.pLabel->sizeHint();
            nWidth += (nWidth > 0 ? Spacing() : 0) + sz.width();
            nHeight = std::max(nHeight, sz.height());
        }
    }
    return {nWidth, nHeight};
}

QSize CStatusFields::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void CStatusFields::resizeEvent(QResizeEvent* pEvent) {
    QWidget::resizeEvent(pEvent);
    Arrange();
}

void CStatusFields::changeEvent(QEvent* pEvent) {
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange) {
        Arrange();
    }
}

void CStatusFields::Arrange() {
    int nX = 0;
    bool bFull = false;
    for (const CField& field : m_fields) {
        if (field.strText.empty()) {
            field.pLabel->hide();
            continue;
        }
        const int nWidth = field.pLabel->sizeHint().width();
        // Whole or not at all; once one is dropped, so is every field after it.
        bFull = bFull || nX + nWidth > width();
        if (bFull) {
            field.pLabel->hide();
            continue;
        }
        field.pLabel->setGeometry(nX, 0, nWidth, height());
        field.pLabel->show();
        nX += nWidth + Spacing();
    }
}
