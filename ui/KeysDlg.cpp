#include "ui/KeysDlg.h"

#include <QTextBrowser>

const std::vector<CKeyAction>& KeyActions() {
    static const std::vector<CKeyAction> s_actions = {
        {"Ctrl+O", "open a day's file"},
        {"PgUp / PgDn", "the day before / after in the same folder, the same hours in view"},
        {"Ctrl+E", "export the view: image, printed page or the readings in view"},
        {"Ctrl+P", "print the chart on one page"},
        {"Ctrl+Q", "exit without remembering the window's place"},
        {"Alt+F4", "close, remembering the window's place and size"},
        {"Ctrl+C", "copy the chart as an image"},
        {"Ctrl+Shift+C", "copy the read-out as text"},
        {"Mouse wheel", "zoom around the time under the pointer"},
        {"Drag", "pan"},
        {"Left / Right", "pan by a tenth of the span"},
        {"Shift+drag", "zoom to the span dragged, and show its statistics"},
        {"+ / -", "zoom in / out around the middle"},
        {"Double-click, Home", "the whole day"},
        {"End", "follow the newest reading"},
        {"Ctrl+K", "acknowledge the last alert (or click the banner)"},
        {"Ctrl+Shift+A", "the archive overview: every day of the folder"},
        {"Point at the chart", "the read-out: the time and the reading under the pointer"},
        {"Ctrl+Left / Ctrl+Right", "move the read-out reading by reading"},
        {"Drop a .vks file", "open it"},
        {"Right-click, Menu key, Alt+Space", "the window's system menu"},
        {"F1", "about Quillon"},
    };
    return s_actions;
}

// No parent: the window belongs to the application's main window.
CKeysDlg::CKeysDlg() : CDialog(IDD) {}

QWidget* CKeysDlg::CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent) {
    if (nID != IDC_KEYS_LIST) {
        return CDialog::CreateCustomControl(nID, strClass, pParent);
    }
    QString strHtml = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    for (const CKeyAction& action : KeyActions()) {
        strHtml += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                       .arg(QString::fromUtf8(action.pszKeys).toHtmlEscaped(),
                            QString::fromUtf8(action.pszAction).toHtmlEscaped());
    }
    strHtml += QStringLiteral("</table>");
    auto* pList = new QTextBrowser(pParent);
    pList->setHtml(strHtml);
    pList->setAccessibleName(QStringLiteral("Keys and mouse actions"));
    return pList;
}
