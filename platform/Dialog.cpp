#include "platform/Dialog.h"

#include "platform/DialogTemplate.h"
#include "platform/ModalSeam.h"
#include "platform/Resources.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <qdrawutil.h>

#include <algorithm>

namespace {

// The frame a dialog without caption draws itself for DS_MODALFRAME, in pixels.
constexpr int DIALOG_FRAME = 3;

struct CQuitState {
    bool bPending = false;
    int nExitCode = 0;
};
CQuitState g_quit;

// The key of an accelerator as Qt names it; empty for a key the tables do not use.
QKeySequence KeySequenceOf(const CAccelTemplate& accel) {
    int nKey = 0;
    if ((accel.key >= 'A' && accel.key <= 'Z') || (accel.key >= '0' && accel.key <= '9')) {
        nKey = accel.key; // Qt's letters and digits are their ASCII codes, as virtual keys are
    } else if (accel.key >= VK_F1 && accel.key <= VK_F24) {
        nKey = Qt::Key_F1 + (accel.key - VK_F1);
    } else if (accel.key == VK_PRIOR || accel.key == VK_NEXT) {
        nKey = accel.key == VK_PRIOR ? Qt::Key_PageUp : Qt::Key_PageDown;
    }
    if (nKey == 0 || (accel.fVirt & FVIRTKEY) == 0) {
        return {};
    }
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ControlModifier, (accel.fVirt & FCONTROL) != 0);
    modifiers.setFlag(Qt::ShiftModifier, (accel.fVirt & FSHIFT) != 0);
    modifiers.setFlag(Qt::AltModifier, (accel.fVirt & FALT) != 0);
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(nKey)));
}

// Dialogs whose modal loop is running, innermost last.
std::vector<CDialog*>& RunningModals() {
    static std::vector<CDialog*> s_running;
    return s_running;
}

// Counts one message being handled by a dialog, so that DestroyWindow called from inside a
// handler does not delete the window under the handler's feet.
class CDispatchScope {
public:
    explicit CDispatchScope(int& nDepth) : m_nDepth(nDepth) { ++m_nDepth; }
    ~CDispatchScope() { --m_nDepth; }
    CDispatchScope(const CDispatchScope&) = delete;
    CDispatchScope& operator=(const CDispatchScope&) = delete;

private:
    int& m_nDepth;
};

} // namespace

// The client area: children of the template live here; it reports size and paint.
class CDialogClient : public QWidget {
public:
    CDialogClient(CDialog* pOwner, QWidget* pParent) : QWidget(pParent), m_pOwner(pOwner) {}
    void Detach() { m_pOwner = nullptr; }

protected:
    void resizeEvent(QResizeEvent* pEvent) override {
        QWidget::resizeEvent(pEvent);
        if (m_pOwner != nullptr) {
            m_pOwner->DispatchWindowState();
        }
    }
    void paintEvent(QPaintEvent* /*pEvent*/) override {
        if (m_pOwner != nullptr) {
            m_pOwner->DispatchPaint(this);
        }
    }

private:
    CDialog* m_pOwner;
};

// The window of a CDialog. It turns Qt's events into the dialog's handlers and tells the dialog
// when it is destroyed, however that happens.
class CDialogWindow : public QDialog {
public:
    CDialogWindow(CDialog* pOwner, QWidget* pParent, Qt::WindowFlags flags, int nFrame)
        : QDialog(pParent, flags), m_pOwner(pOwner), m_nFrame(nFrame) {
        setAttribute(Qt::WA_QuitOnClose, false);
    }
    ~CDialogWindow() override {
        if (m_pOwnLoop != nullptr) {
            m_pOwnLoop->exit();
        }
        if (m_pOwner != nullptr) {
            m_pOwner->WindowGone();
        }
    }
    void Detach() { m_pOwner = nullptr; }

    void accept() override {
        if (m_pOwner != nullptr) {
            m_pOwner->SendCommand(IDOK);
        }
    }
    void reject() override {
        if (m_pOwner != nullptr) {
            m_pOwner->SendCommand(IDCANCEL);
        }
    }
    void EndModal(int nResult) { QDialog::done(nResult); }

    // The modal run. One with an owner is Qt's own, which makes the window modal; one without
    // (the main window) runs a plain loop until the window is hidden or goes.
    void RunModal() {
        if (parentWidget() != nullptr) {
            exec();
            return;
        }
        QPointer<CDialogWindow> pGuard(this);
        QEventLoop loop;
        m_pOwnLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (pGuard) {
            m_pOwnLoop = nullptr;
        }
    }
    void setVisible(bool bVisible) override {
        QDialog::setVisible(bVisible);
        if (!bVisible && m_pOwnLoop != nullptr) {
            m_pOwnLoop->exit();
        }
    }

    void ShowSystemMenu(const QPoint& ptGlobal) {
        if (m_pOwner != nullptr && m_pOwner->m_bSystemMenuInUse && m_pOwner->m_pSystemMenu) {
            m_pOwner->m_pSystemMenu->GetSafeHmenu()->popup(ptGlobal);
        }
    }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override {
        const bool bEnter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
        if (bEnter && pEvent->modifiers() == Qt::NoModifier && m_pOwner != nullptr &&
            !HasDefaultButton()) {
            m_pOwner->DispatchEnter();
            return;
        }
        QDialog::keyPressEvent(pEvent);
    }
    void closeEvent(QCloseEvent* pEvent) override {
        // The dialog decides: its OnClose ends it or not.
        pEvent->ignore();
        if (m_pOwner != nullptr) {
            m_pOwner->DispatchClose();
        }
    }
    void contextMenuEvent(QContextMenuEvent* pEvent) override {
        if (m_pOwner != nullptr && m_pOwner->m_bSystemMenuInUse) {
            ShowSystemMenu(pEvent->globalPos());
            pEvent->accept();
            return;
        }
        QDialog::contextMenuEvent(pEvent);
    }
    void changeEvent(QEvent* pEvent) override {
        QDialog::changeEvent(pEvent);
        if (pEvent->type() == QEvent::WindowStateChange && m_pOwner != nullptr) {
            m_pOwner->DispatchWindowState();
        }
    }
    void paintEvent(QPaintEvent* pEvent) override {
        QDialog::paintEvent(pEvent);
        if (m_nFrame > 0) {
            QPainter painter(this);
            qDrawWinPanel(&painter, rect(), palette(), false);
        }
    }

private:
    [[nodiscard]] bool HasDefaultButton() const {
        const auto buttons = findChildren<QPushButton*>();
        return std::any_of(buttons.begin(), buttons.end(), [](const QPushButton* pButton) {
            return pButton->isVisible() && (pButton->isDefault() || pButton->hasFocus());
        });
    }

    CDialog* m_pOwner;
    int m_nFrame;
    QEventLoop* m_pOwnLoop = nullptr;
};

// ---- CMenu ----

CMenu::CMenu(QMenu* pMenu, std::function<void(UINT)> onChoose)
    : m_pMenu(pMenu), m_onChoose(std::move(onChoose)) {}

BOOL CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, LPCSTR lpszNewItem) {
    if (m_pMenu == nullptr) {
        return FALSE;
    }
    if ((nFlags & MF_SEPARATOR) != 0) {
        m_pMenu->addSeparator();
        return TRUE;
    }
    QAction* pAction =
        m_pMenu->addAction(QString::fromUtf8(lpszNewItem != nullptr ? lpszNewItem : ""));
    pAction->setData(nIDNewItem);
    pAction->setEnabled((nFlags & (MF_GRAYED | MF_DISABLED)) == 0);
    QObject::connect(pAction, &QAction::triggered, m_pMenu,
                     [this, nIDNewItem] { m_onChoose(nIDNewItem); });
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return m_pMenu != nullptr ? static_cast<int>(m_pMenu->actions().size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    if (m_pMenu == nullptr || nPos < 0 || nPos >= m_pMenu->actions().size()) {
        return static_cast<UINT>(-1);
    }
    const QAction* pAction = m_pMenu->actions().at(nPos);
    return pAction->isSeparator() ? 0 : pAction->data().toUInt();
}

std::string CMenu::GetMenuString(int nPos) const {
    if (m_pMenu == nullptr || nPos < 0 || nPos >= m_pMenu->actions().size()) {
        return {};
    }
    return m_pMenu->actions().at(nPos)->text().toStdString();
}

// ---- data exchange ----

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& strValue) {
    CWnd* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pControl == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        strValue = pControl->GetWindowText();
    } else {
        pControl->SetWindowText(strValue);
    }
}

// ---- free functions ----

Qt::WindowFlags WindowFlagsForStyle(DWORD dwStyle, DWORD dwExStyle) {
    Qt::WindowFlags flags = (dwExStyle & WS_EX_APPWINDOW) != 0 ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if ((dwStyle & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
        // The minimise and maximise boxes exist only beside a system menu.
        if ((dwStyle & WS_SYSMENU) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if ((dwStyle & WS_MINIMIZEBOX) != 0) {
                flags |= Qt::WindowMinimizeButtonHint;
            }
            if ((dwStyle & WS_MAXIMIZEBOX) != 0) {
                flags |= Qt::WindowMaximizeButtonHint;
            }
        }
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    return flags;
}

QPoint CenteredPosition(QSize szWindow, const QRect& rcOver, const QRect& rcWork) {
    int x = rcOver.left() + rcOver.width() / 2 - szWindow.width() / 2;
    int y = rcOver.top() + rcOver.height() / 2 - szWindow.height() / 2;
    const int nWorkRight = rcWork.left() + rcWork.width();
    const int nWorkBottom = rcWork.top() + rcWork.height();
    x = std::max(std::min(x, nWorkRight - szWindow.width()), rcWork.left());
    y = std::max(std::min(y, nWorkBottom - szWindow.height()), rcWork.top());
    return {x, y};
}

void PostQuitMessage(int nExitCode) {
    g_quit.bPending = true;
    g_quit.nExitCode = nExitCode;
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            if (!g_quit.bPending) {
                return;
            }
            // Innermost first; each end only leaves its own loop.
            const std::vector<CDialog*> running = RunningModals();
            for (auto it = running.rbegin(); it != running.rend(); ++it) {
                (*it)->EndDialog(-1);
            }
        },
        Qt::QueuedConnection);
}

bool PeekQuitMessage(int* pnExitCode) {
    if (g_quit.bPending && pnExitCode != nullptr) {
        *pnExitCode = g_quit.nExitCode;
    }
    return g_quit.bPending;
}

void ResetQuitMessage() {
    g_quit = CQuitState{};
}

// ---- CDialog ----

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    DestroyWindow();
    if (AfxGetMainWnd() == this) {
        AfxSetMainWnd(nullptr);
    }
}

QWidget* CDialog::ResolveOwner() const {
    const CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    if (pOwner == nullptr || pOwner == this || pOwner->GetSafeHwnd() == nullptr) {
        return nullptr;
    }
    return pOwner->GetSafeHwnd()->window();
}

bool CDialog::CreateDialogWindow(QWidget* pOwner) {
    const CDialogTemplate* pTemplate = FindDialogTemplate(m_nIDTemplate);
    if (pTemplate == nullptr) {
        return false;
    }
    m_dwStyle = pTemplate->dwStyle;
    const QFont font = MakeDialogFont(pTemplate->strFontFace, pTemplate->nPointSize);
    const CDialogUnits units(font);
    m_baseUnits = units.GetBaseUnits();
    m_nLastSizeType = 0xFFFFFFFF;
    m_nLastCx = m_nLastCy = -1;

    const bool bCaption = (m_dwStyle & WS_CAPTION) == WS_CAPTION;
    const bool bOwnFrame = !bCaption && (m_dwStyle & (DS_MODALFRAME | WS_DLGFRAME)) != 0;
    const int nFrame = bOwnFrame ? DIALOG_FRAME : 0;
    auto* pWindow = new CDialogWindow(this, pOwner,
                                      WindowFlagsForStyle(m_dwStyle, pTemplate->dwExStyle), nFrame);
    pWindow->setFont(font);
    pWindow->setWindowTitle(QString::fromStdString(pTemplate->strCaption));
    m_hWnd = pWindow;

    auto* pLayout = new QVBoxLayout(pWindow);
    pLayout->setContentsMargins(nFrame, nFrame, nFrame, nFrame);
    pLayout->setSpacing(0);
    if (pTemplate->nMenuId != 0) {
        BuildMenuBar(pTemplate->nMenuId);
        if (m_pMenuBar != nullptr) {
            pLayout->setMenuBar(m_pMenuBar);
        }
    }
    auto* pClient = new CDialogClient(this, pWindow);
    pLayout->addWidget(pClient);
    m_pClient = pClient;

    // The template gives the client area; the window is that plus menu bar and own frame.
    const QSize szClient = units.ToPixels(0, 0, pTemplate->cx, pTemplate->cy).size();
    const int nMenuHeight =
        m_pMenuBar != nullptr ? m_pMenuBar->heightForWidth(szClient.width()) : 0;
    pWindow->resize(szClient.width() + 2 * nFrame,
                    szClient.height() + std::max(nMenuHeight, 0) + 2 * nFrame);
    pLayout->activate();
    const QSize szMissing = szClient - pClient->size();
    if (!szMissing.isNull()) {
        pWindow->resize(pWindow->size() + szMissing);
        pLayout->activate();
    }
    if ((m_dwStyle & WS_THICKFRAME) == 0) {
        pWindow->setFixedSize(pWindow->size());
    }
    if ((m_dwStyle & WS_SYSMENU) != 0) {
        ResetSystemMenu();
    }

    // The size notification that comes with the window, before any control exists.
    DispatchSize(SIZE_RESTORED, pClient->width(), pClient->height());
    if (m_hWnd == nullptr) {
        return false;
    }
    BuildItems();
    return true;
}

void CDialog::BuildMenuBar(UINT nMenuId) {
    const CMenuTemplate* pMenu = FindMenuTemplate(nMenuId);
    if (pMenu == nullptr) {
        return;
    }
    // A dialog's menu is part of its window, as the framework's menus are, never one exported to
    // a desktop's global menu bar; asking the desktop whether it has one costs a bus round trip
    // at every start.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    m_pMenuBar = new QMenuBar(m_hWnd);
    // A command item sends its number to the window, from the bar or from a pop-up alike.
    auto addCommand = [this](QWidget* pOwner, const CMenuItemTemplate& item) {
        auto* pAction = new QAction(QString::fromStdString(item.strText), pOwner);
        pAction->setData(item.nId);
        const UINT nId = item.nId;
        QObject::connect(pAction, &QAction::triggered, m_hWnd, [this, nId] { SendCommand(nId); });
        pOwner->addAction(pAction);
    };
    const std::function<void(QMenu*, const std::vector<CMenuItemTemplate>&)> fill =
        [&fill, &addCommand](QMenu* pMenuOut, const std::vector<CMenuItemTemplate>& items) {
            for (const CMenuItemTemplate& item : items) {
                if (item.IsPopup()) {
                    fill(pMenuOut->addMenu(QString::fromStdString(item.strText)), item.popup);
                } else if (item.IsSeparator()) {
                    pMenuOut->addSeparator();
                } else {
                    addCommand(pMenuOut, item);
                }
            }
        };
    for (const CMenuItemTemplate& item : pMenu->items) {
        if (item.IsPopup()) {
            fill(m_pMenuBar->addMenu(QString::fromStdString(item.strText)), item.popup);
        } else if (!item.IsSeparator()) {
            addCommand(m_pMenuBar, item);
        }
    }
}

void CDialog::BuildItems() {
    const CDialogTemplate* pTemplate = FindDialogTemplate(m_nIDTemplate);
    const CDialogUnits units(m_baseUnits);
    for (const CDialogItemTemplate& item : pTemplate->items) {
        QWidget* pWidget = nullptr;
        QRect rc = units.ToPixels(item.x, item.y, item.cx, item.cy);
        switch (item.eKind) {
        case EDialogItemKind::Static: {
            auto* pLabel = new QLabel(m_pClient);
            pLabel->setTextFormat(Qt::PlainText);
            SetStaticNoPrefix(pLabel, (item.dwStyle & SS_NOPREFIX) != 0);
            Qt::Alignment align = Qt::AlignLeft;
            if ((item.dwStyle & SS_TYPEMASK) == SS_CENTER) {
                align = Qt::AlignHCenter;
            } else if ((item.dwStyle & SS_TYPEMASK) == SS_RIGHT) {
                align = Qt::AlignRight;
            }
            if ((item.dwStyle & SS_CENTERIMAGE) != 0) {
                align |= Qt::AlignVCenter; // one line, centred down
            } else {
                align |= Qt::AlignTop;
                pLabel->setWordWrap(true);
            }
            pLabel->setAlignment(align);
            pWidget = pLabel;
            break;
        }
        case EDialogItemKind::IconStatic: {
            // An icon static takes the icon's own size, whatever the template says.
            auto* pLabel = new QLabel(m_pClient);
            const int nIcon = GetSystemMetrics(SM_CXICON);
            if (HICON hIcon = LoadIcon(item.nIconId)) {
                pLabel->setPixmap(hIcon->pixmap(nIcon, nIcon));
            }
            rc.setSize(QSize(nIcon, GetSystemMetrics(SM_CYICON)));
            pWidget = pLabel;
            break;
        }
        case EDialogItemKind::Button: {
            auto* pButton = new QPushButton(m_pClient);
            pButton->setAutoDefault(true);
            pButton->setDefault((item.dwStyle & 0xF) == BS_DEFPUSHBUTTON);
            const int nId = item.nId;
            QObject::connect(pButton, &QPushButton::clicked, m_pClient,
                             [this, nId] { SendCommand(static_cast<UINT>(nId)); });
            pWidget = pButton;
            break;
        }
        case EDialogItemKind::Custom:
            pWidget = CreateCustomControl(item.nId, item.strText, m_pClient);
            if (pWidget == nullptr) {
                pWidget = new QWidget(m_pClient);
            }
            pWidget->setParent(m_pClient);
            if ((item.dwStyle & WS_TABSTOP) != 0) {
                pWidget->setFocusPolicy(Qt::StrongFocus);
            }
            break;
        }
        SetDlgCtrlID(pWidget, item.nId);
        pWidget->setGeometry(rc);
        pWidget->setEnabled((item.dwStyle & WS_DISABLED) == 0);
        pWidget->setVisible((item.dwStyle & WS_VISIBLE) != 0);
        auto pItem = std::make_unique<CWnd>(pWidget);
        if (item.eKind != EDialogItemKind::Custom && item.eKind != EDialogItemKind::IconStatic) {
            pItem->SetWindowText(item.strText);
        }
        if (item.nId != ITEM_WITHOUT_ID && m_controls.find(item.nId) == m_controls.end()) {
            m_controls[item.nId] = pItem.get();
        }
        m_items.push_back(std::move(pItem));
    }
}

void CDialog::ResetSystemMenu() {
    auto* pMenu = new QMenu(m_hWnd);
    m_pSystemMenu = std::make_unique<CMenu>(pMenu, [this](UINT nID) { SendSysCommand(nID); });
    const bool bMin = (m_dwStyle & WS_MINIMIZEBOX) != 0;
    const bool bMax = (m_dwStyle & WS_MAXIMIZEBOX) != 0;
    if (bMin || bMax) {
        m_pSystemMenu->AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
        if (bMin) {
            m_pSystemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
        }
        if (bMax) {
            m_pSystemMenu->AppendMenu(MF_STRING, SC_MAXIMIZE, "Ma&ximize");
        }
        m_pSystemMenu->AppendMenu(MF_SEPARATOR);
    }
    m_pSystemMenu->AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    // The window commands follow the window's state, as the platform's system menu does.
    QObject::connect(pMenu, &QMenu::aboutToShow, pMenu, [this, pMenu] {
        const bool bMinimized = m_hWnd != nullptr && m_hWnd->isMinimized();
        const bool bMaximized = m_hWnd != nullptr && m_hWnd->isMaximized();
        for (QAction* pAction : pMenu->actions()) {
            const UINT nID = pAction->data().toUInt();
            if (nID == SC_RESTORE) {
                pAction->setEnabled(bMinimized || bMaximized);
            } else if (nID == SC_MINIMIZE) {
                pAction->setEnabled(!bMinimized);
            } else if (nID == SC_MAXIMIZE) {
                pAction->setEnabled(!bMaximized);
            }
        }
    });
}

CMenu* CDialog::GetSystemMenu(BOOL bRevert) {
    if (m_hWnd == nullptr || (m_dwStyle & WS_SYSMENU) == 0) {
        return nullptr;
    }
    if (bRevert) {
        delete m_pSystemMenu->GetSafeHmenu();
        ResetSystemMenu();
        return nullptr;
    }
    if (!m_bSystemMenuInUse) {
        m_bSystemMenuInUse = true;
        auto* pShortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), m_hWnd);
        auto* pWindow = static_cast<CDialogWindow*>(m_hWnd);
        QObject::connect(pShortcut, &QShortcut::activated, pWindow, [pWindow, this] {
            pWindow->ShowSystemMenu(m_pClient->mapToGlobal(QPoint(0, 0)));
        });
    }
    return m_pSystemMenu.get();
}

void CDialog::CheckMenuCommand(UINT nID, bool bChecked) const {
    if (QAction* pAction = FindMenuCommand(nID)) {
        pAction->setCheckable(true);
        pAction->setChecked(bChecked);
    }
}

QAction* CDialog::FindMenuCommand(UINT nID) const {
    if (m_pMenuBar == nullptr) {
        return nullptr;
    }
    const auto actions = m_pMenuBar->findChildren<QAction*>();
    for (QAction* pAction : actions) {
        if (!pAction->isSeparator() && pAction->menu() == nullptr && pAction->data().isValid() &&
            pAction->data().toUInt() == nID) {
            return pAction;
        }
    }
    return nullptr;
}

BOOL CDialog::LoadAccelTable(UINT nIDResource) {
    const CAccelTableTemplate* pTable = FindAcceleratorTable(nIDResource);
    if (m_hWnd == nullptr || pTable == nullptr) {
        return FALSE;
    }
    for (const CAccelTemplate& accel : pTable->entries) {
        const QKeySequence keys = KeySequenceOf(accel);
        if (keys.isEmpty()) {
            continue;
        }
        const UINT nCmd = accel.cmd;
        if (QAction* pAction = FindMenuCommand(nCmd)) {
            pAction->setShortcut(keys);
        } else {
            auto* pShortcut = new QShortcut(keys, m_hWnd);
            QObject::connect(pShortcut, &QShortcut::activated, m_hWnd,
                             [this, nCmd] { SendCommand(nCmd); });
        }
    }
    return TRUE;
}

HICON CDialog::SetIcon(HICON hIcon, BOOL bBigIcon) {
    HICON& hSlot = bBigIcon ? m_hIconBig : m_hIconSmall;
    const HICON hOld = hSlot;
    hSlot = hIcon;
    if (m_hWnd != nullptr) {
        const HICON hShown = m_hIconBig != nullptr ? m_hIconBig : m_hIconSmall;
        m_hWnd->setWindowIcon(hShown != nullptr ? *hShown : QIcon());
    }
    return hOld;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr || PeekQuitMessage()) {
        return -1;
    }
    if (!CreateDialogWindow(ResolveOwner())) {
        DestroyWindow();
        return -1;
    }
    m_bEnded = false;
    m_nModalResult = -1;
    if (m_hWnd->parentWidget() != nullptr) {
        m_hWnd->setWindowModality(Qt::ApplicationModal);
    }
    DispatchInitDialog();
    if (m_hWnd != nullptr && !m_bEnded) {
        m_hWnd->show();
    }

    CModalRequest request;
    request.eKind = EModalKind::Dialog;
    request.strTitle = GetWindowText();
    request.nTemplateId = m_nIDTemplate;
    request.pDialog = this;
    request.pOwner = m_hWnd != nullptr ? m_hWnd->parentWidget() : nullptr;
    const auto answer = m_bEnded ? std::nullopt : AskModalHook(request);

    if (m_hWnd != nullptr && !m_bEnded) {
        const bool bRunLoop = answer && answer->bRunModalLoop;
        if (answer && !bRunLoop) {
            EndDialog(static_cast<int>(answer->nResult));
        } else if (PeekQuitMessage()) {
            EndDialog(-1);
        } else if (!bRunLoop && RefuseUnansweredModal(request)) {
            EndDialog(IDCANCEL);
        } else {
            RunningModals().push_back(this);
            m_bInModalLoop = true;
            static_cast<CDialogWindow*>(m_hWnd)->RunModal();
            m_bInModalLoop = false;
            auto& running = RunningModals();
            running.erase(std::remove(running.begin(), running.end(), this), running.end());
        }
    }
    const INT_PTR nResult = m_nModalResult;
    DestroyWindow();
    return nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    m_nIDTemplate = nIDTemplate;
    if (pParentWnd != nullptr) {
        m_pParentWnd = pParentWnd;
    }
    if (!CreateDialogWindow(ResolveOwner())) {
        DestroyWindow();
        return FALSE;
    }
    m_bEnded = false;
    DispatchInitDialog();
    if (m_hWnd != nullptr && (m_dwStyle & WS_VISIBLE) != 0 && !m_bEnded) {
        m_hWnd->show();
    }
    return m_hWnd != nullptr ? TRUE : FALSE;
}

BOOL CDialog::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    auto* pWindow = static_cast<CDialogWindow*>(m_hWnd);
    if (m_nDispatchDepth > 0) {
        // A handler of this dialog is still running: take the window away now and free it
        // once control is back in the event loop.
        pWindow->hide();
        pWindow->Detach();
        WindowGone();
        pWindow->deleteLater();
    } else {
        delete pWindow; // its destructor calls WindowGone
    }
    return TRUE;
}

void CDialog::WindowGone() {
    if (m_hWnd == nullptr) {
        return;
    }
    {
        CDispatchScope scope(m_nDispatchDepth);
        OnDestroy();
    }
    if (auto* pClient = dynamic_cast<CDialogClient*>(m_pClient)) {
        pClient->Detach();
    }
    m_controls.clear();
    m_items.clear();
    m_pSystemMenu.reset();
    m_bSystemMenuInUse = false;
    m_pMenuBar = nullptr;
    m_pClient = nullptr;
    m_hWnd = nullptr;
    if (m_bInModalLoop) {
        m_bEnded = true;
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_bInModalLoop) {
        static_cast<CDialogWindow*>(m_hWnd)->EndModal(nResult);
    } else {
        m_hWnd->hide();
    }
}

void CDialog::CenterWindow(CWnd* pAlternateOwner) {
    if (m_hWnd == nullptr) {
        return;
    }
    QWidget* pOver =
        pAlternateOwner != nullptr ? pAlternateOwner->GetSafeHwnd() : m_hWnd->parentWidget();
    if (pOver != nullptr) {
        pOver = pOver->window();
    }
    const QScreen* pScreen = pOver != nullptr ? pOver->screen() : m_hWnd->screen();
    if (pScreen == nullptr) {
        pScreen = QGuiApplication::primaryScreen();
    }
    const QRect rcWork = pScreen != nullptr ? pScreen->availableGeometry() : QRect();
    const bool bOverOwner = pOver != nullptr && pOver->isVisible() && !pOver->isMinimized();
    const QRect rcOver = bOverOwner ? pOver->frameGeometry() : rcWork;
    m_hWnd->move(CenteredPosition(m_hWnd->frameGeometry().size(), rcOver, rcWork));
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    CDataExchange dx{bSaveAndValidate, this};
    DoDataExchange(&dx);
    return TRUE;
}

CWnd* CDialog::GetDlgItem(int nID) const {
    const auto it = m_controls.find(nID);
    return it != m_controls.end() ? it->second : nullptr;
}

CWnd* CDialog::GetItem(int nIndex) const {
    return nIndex >= 0 && nIndex < GetItemCount() ? m_items[static_cast<std::size_t>(nIndex)].get()
                                                  : nullptr;
}

void CDialog::MapDialogRect(RECT* pRect) const {
    if (pRect == nullptr) {
        return;
    }
    const CDialogUnits units(m_baseUnits);
    pRect->left = units.ToPixelsX(pRect->left);
    pRect->right = units.ToPixelsX(pRect->right);
    pRect->top = units.ToPixelsY(pRect->top);
    pRect->bottom = units.ToPixelsY(pRect->bottom);
}

BOOL CDialog::SendCommand(UINT nID) {
    CDispatchScope scope(m_nDispatchDepth);
    return OnCommand(nID);
}

void CDialog::SendSysCommand(UINT nID) {
    CDispatchScope scope(m_nDispatchDepth);
    OnSysCommand(nID);
}

void CDialog::SendClose() {
    DispatchClose();
}

// ---- default handlers ----

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::OnCommand(UINT nID) {
    if (nID == static_cast<UINT>(IDOK)) {
        OnOK();
        return TRUE;
    }
    if (nID == static_cast<UINT>(IDCANCEL)) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(UINT nID) {
    if (m_hWnd == nullptr) {
        return;
    }
    switch (nID & 0xFFF0) {
    case SC_CLOSE:
        DispatchClose();
        break;
    case SC_MINIMIZE:
        m_hWnd->showMinimized();
        break;
    case SC_MAXIMIZE:
        m_hWnd->showMaximized();
        break;
    case SC_RESTORE:
        m_hWnd->showNormal();
        break;
    default:
        break;
    }
}

void CDialog::OnClose() {
    SendCommand(IDCANCEL);
}

void CDialog::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {}

BOOL CDialog::OnEraseBkgnd(QPainter& dc) {
    if (m_pClient != nullptr) {
        dc.fillRect(m_pClient->rect(), m_pClient->palette().window());
    }
    return TRUE;
}

void CDialog::OnPaint(QPainter& /*dc*/) {}

void CDialog::OnDestroy() {}

QWidget* CDialog::CreateCustomControl(int /*nID*/, const std::string& /*strClass*/,
                                      QWidget* pParent) {
    return new QWidget(pParent);
}

// ---- dispatch ----

void CDialog::DispatchInitDialog() {
    CDispatchScope scope(m_nDispatchDepth);
    (void)OnInitDialog();
}

void CDialog::DispatchSize(UINT nType, int cx, int cy) {
    // One notification per change, as the platform sends them.
    if (nType == m_nLastSizeType && cx == m_nLastCx && cy == m_nLastCy) {
        return;
    }
    m_nLastSizeType = nType;
    m_nLastCx = cx;
    m_nLastCy = cy;
    CDispatchScope scope(m_nDispatchDepth);
    OnSize(nType, cx, cy);
}

void CDialog::DispatchWindowState() {
    if (m_hWnd == nullptr || m_pClient == nullptr) {
        return;
    }
    if (m_hWnd->isMinimized()) {
        DispatchSize(SIZE_MINIMIZED, 0, 0);
    } else {
        DispatchSize(m_hWnd->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED, m_pClient->width(),
                     m_pClient->height());
    }
}

void CDialog::DispatchPaint(QWidget* pClient) {
    CDispatchScope scope(m_nDispatchDepth);
    QPainter dc(pClient);
    (void)OnEraseBkgnd(dc);
    OnPaint(dc);
}

void CDialog::DispatchClose() {
    CDispatchScope scope(m_nDispatchDepth);
    OnClose();
}

void CDialog::DispatchEnter() {
    SendCommand(IDOK);
}
