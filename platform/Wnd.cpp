#include "platform/Wnd.h"

#include "platform/Font.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace {
constexpr const char* TITLE_PLACEHOLDER = "[*]";
constexpr const char* TITLE_PLACEHOLDER_SHOWN = "[*][*]";
// How long a window just shown is waited for, at most, before it is painted all the same.
constexpr int MAX_MAP_WAIT_MS = 2000;
constexpr int MAP_POLL_MS = 10;

CWnd* g_pMainWnd = nullptr;

// Static controls keep the text they were given; what they show may differ (mnemonic prefix).
const char* const TEXT_PROPERTY = "quillonWindowText";
const char* const NOPREFIX_PROPERTY = "quillonNoPrefix";
const char* const CTRLID_PROPERTY = "quillonCtrlId";

void FillRect(RECT* pRect, const QRect& rc) {
    if (pRect == nullptr) {
        return;
    }
    pRect->left = rc.left();
    pRect->top = rc.top();
    pRect->right = rc.left() + rc.width();
    pRect->bottom = rc.top() + rc.height();
}

} // namespace

std::string StripMnemonicPrefix(const std::string& strText) {
    std::string strShown;
    strShown.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == '&') {
            if (i + 1 < strText.size() && strText[i + 1] == '&') {
                strShown += '&';
                ++i;
            }
            continue;
        }
        strShown += strText[i];
    }
    return strShown;
}

void CWnd::SetWindowText(const std::string& strText) {
    if (m_hWnd == nullptr) {
        return;
    }
    const QString strQ = QString::fromStdString(strText);
    if (auto* pLabel = qobject_cast<QLabel*>(m_hWnd)) {
        pLabel->setProperty(TEXT_PROPERTY, strQ);
        const bool bNoPrefix = pLabel->property(NOPREFIX_PROPERTY).toBool();
        pLabel->setText(bNoPrefix ? strQ : QString::fromStdString(StripMnemonicPrefix(strText)));
    } else if (auto* pButton = qobject_cast<QAbstractButton*>(m_hWnd)) {
        pButton->setText(strQ);
    } else {
        // Qt reads "[*]" in a title as the modified-marker placeholder and hides it; doubled, it
        // shows as written. A file name may well contain it.
        QString strTitle = strQ;
        strTitle.replace(QLatin1String(TITLE_PLACEHOLDER), QLatin1String(TITLE_PLACEHOLDER_SHOWN));
        m_hWnd->setWindowTitle(strTitle);
    }
}

std::string CWnd::GetWindowText() const {
    if (m_hWnd == nullptr) {
        return {};
    }
    if (auto* pLabel = qobject_cast<QLabel*>(m_hWnd)) {
        const QVariant raw = pLabel->property(TEXT_PROPERTY);
        return (raw.isValid() ? raw.toString() : pLabel->text()).toStdString();
    }
    if (auto* pButton = qobject_cast<QAbstractButton*>(m_hWnd)) {
        return pButton->text().toStdString();
    }
    QString strTitle = m_hWnd->windowTitle();
    strTitle.replace(QLatin1String(TITLE_PLACEHOLDER_SHOWN), QLatin1String(TITLE_PLACEHOLDER));
    return strTitle.toStdString();
}

void CWnd::SetFont(const CFont* pFont, BOOL bRedraw) {
    if (m_hWnd == nullptr || pFont == nullptr || pFont->GetSafeHandle() == nullptr) {
        return;
    }
    m_hWnd->setFont(*pFont->GetSafeHandle());
    if (bRedraw) {
        m_hWnd->repaint();
    }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (m_hWnd == nullptr) {
        return;
    }
    nWidth = nWidth > 0 ? nWidth : 0;
    nHeight = nHeight > 0 ? nHeight : 0;
    if (m_hWnd->isWindow()) {
        // The outer rectangle: the frame is whatever the window manager adds around the client.
        const QSize szFrame = m_hWnd->frameGeometry().size() - m_hWnd->geometry().size();
        const QSize szInner(std::max(0, nWidth - szFrame.width()),
                            std::max(0, nHeight - szFrame.height()));
        const bool bFixed = m_hWnd->minimumSize() == m_hWnd->maximumSize();
        m_hWnd->move(x, y);
        if (bFixed) {
            m_hWnd->setFixedSize(szInner);
        } else {
            m_hWnd->resize(szInner);
        }
    } else {
        m_hWnd->setGeometry(x, y, nWidth, nHeight);
    }
    if (bRepaint) {
        m_hWnd->update();
    }
}

void CWnd::GetWindowRect(RECT* pRect) const {
    if (m_hWnd == nullptr) {
        FillRect(pRect, QRect());
        return;
    }
    if (m_hWnd->isWindow()) {
        FillRect(pRect, m_hWnd->frameGeometry());
    } else {
        FillRect(pRect, QRect(m_hWnd->mapToGlobal(QPoint(0, 0)), m_hWnd->size()));
    }
}

void CWnd::GetClientRect(RECT* pRect) const {
    const QWidget* pClient = GetClientWidget();
    FillRect(pRect, pClient != nullptr ? QRect(QPoint(0, 0), pClient->size()) : QRect());
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const BOOL bWasVisible = m_hWnd->isVisible() ? TRUE : FALSE;
    if (!m_hWnd->isWindow()) {
        m_hWnd->setVisible(nCmdShow != SW_HIDE);
        return bWasVisible;
    }
    switch (nCmdShow) {
    case SW_HIDE:
        m_hWnd->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        m_hWnd->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        m_hWnd->showMaximized();
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        m_hWnd->showNormal();
        break;
    default:
        m_hWnd->show();
        break;
    }
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    return m_hWnd != nullptr && m_hWnd->window()->isMinimized() ? TRUE : FALSE;
}

BOOL CWnd::IsZoomed() const {
    return m_hWnd != nullptr && m_hWnd->window()->isMaximized() ? TRUE : FALSE;
}

void CWnd::Invalidate(BOOL /*bErase*/) {
    if (QWidget* pClient = GetClientWidget()) {
        pClient->update();
    }
}

void CWnd::UpdateWindow() {
    if (m_hWnd == nullptr || !m_hWnd->isVisible()) {
        return;
    }
    // A window shown a moment ago reaches the screen when the window system has mapped it, which
    // under a window manager takes a round trip or more; a paint before that draws nothing. So
    // the window is painted once it is there: what arrives meanwhile is taken in (no user
    // input), for a short while at most, in case the window system never says.
    QPointer<QWidget> pGuard(m_hWnd);
    QWindow* pNative = m_hWnd->window()->windowHandle();
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (pGuard && pNative != nullptr && !pNative->isExposed() &&
           waited.elapsed() < MAX_MAP_WAIT_MS) {
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, MAP_POLL_MS);
    }
    if (pGuard) {
        pGuard->repaint();
        // The paint is on its way to the screen before whatever follows holds the thread.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void SetDlgCtrlID(QWidget* pWidget, int nId) {
    pWidget->setProperty(CTRLID_PROPERTY, nId);
}

void SetStaticNoPrefix(QWidget* pStatic, bool bNoPrefix) {
    pStatic->setProperty(NOPREFIX_PROPERTY, bNoPrefix);
}

int CWnd::GetDlgCtrlID() const {
    if (m_hWnd == nullptr) {
        return 0;
    }
    const QVariant id = m_hWnd->property(CTRLID_PROPERTY);
    return id.isValid() ? id.toInt() : 0;
}

CWnd* AfxGetMainWnd() {
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* pWnd) {
    g_pMainWnd = pWnd;
}

int GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        const QScreen* pScreen = QGuiApplication::primaryScreen();
        if (pScreen == nullptr) {
            return 0;
        }
        return nIndex == SM_CXSCREEN ? pScreen->geometry().width() : pScreen->geometry().height();
    }
    default:
        return 0;
    }
}

void DrawIcon(QPainter& dc, int x, int y, HICON hIcon) {
    if (hIcon == nullptr) {
        return;
    }
    hIcon->paint(&dc, QRect(x, y, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
}
