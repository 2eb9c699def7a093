#include "ui/RecentFilesMenu.h"

#include "platform/Dialog.h"
#include "res/Resource.h"

#include <QAction>
#include <QMenu>

namespace {
// A long path is shortened in its middle on the menu; its tooltip has it whole.
constexpr int MENU_PATH_CHARS = 70;

QString MenuText(int nPlace, const std::string& strPath) {
    QString strShown = QString::fromStdString(strPath);
    if (strShown.size() > MENU_PATH_CHARS) {
        const int nKeep = (MENU_PATH_CHARS - 1) / 2;
        strShown = strShown.left(nKeep) + QChar(0x2026) + strShown.right(nKeep);
    }
    strShown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(nPlace).arg(strShown);
}
} // namespace

CRecentFilesMenu::CRecentFilesMenu(CDialog& window) : m_window(window) {
    if (QAction* pFirst = window.FindMenuCommand(ID_FILE_RECENT_FIRST)) {
        m_pMenu = qobject_cast<QMenu*>(pFirst->parent());
    }
    if (m_pMenu != nullptr) {
        m_pMenu->setToolTipsVisible(true);
    }
    m_files.Load();
    Rebuild();
}

std::optional<std::string> CRecentFilesMenu::PathOf(UINT nID) const {
    if (nID < ID_FILE_RECENT_FIRST || nID > ID_FILE_RECENT_LAST) {
        return std::nullopt;
    }
    const std::size_t nIndex = nID - ID_FILE_RECENT_FIRST;
    if (nIndex >= m_files.Paths().size()) {
        return std::nullopt;
    }
    return m_files.Paths()[nIndex];
}

COutcome CRecentFilesMenu::Add(const std::string& strPath) {
    m_files.Add(strPath);
    Rebuild();
    return m_files.Save();
}

COutcome CRecentFilesMenu::Remove(const std::string& strPath) {
    m_files.Remove(strPath);
    Rebuild();
    return m_files.Save();
}

void CRecentFilesMenu::Rebuild() {
    if (m_pMenu == nullptr) {
        return;
    }
    m_pMenu->clear();
    const auto& paths = m_files.Paths();
    if (paths.empty()) {
        // The menu's own placeholder: shown, never chosen.
        QAction* pNone = m_pMenu->addAction(QStringLiteral("(none)"));
        pNone->setData(ID_FILE_RECENT_FIRST);
        pNone->setEnabled(false);
        return;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const UINT nID = ID_FILE_RECENT_FIRST + static_cast<UINT>(i);
        QAction* pAction = m_pMenu->addAction(MenuText(static_cast<int>(i) + 1, paths[i]));
        pAction->setData(nID);
        pAction->setToolTip(QString::fromStdString(paths[i]));
        QObject::connect(pAction, &QAction::triggered, m_pMenu,
                         [this, nID] { m_window.SendCommand(nID); });
    }
}
