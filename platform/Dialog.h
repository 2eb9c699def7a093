#pragma once
// CDialog: a dialog in the framework's shape, built from a template over a QDialog.
//
// The object and its window have separate lives, as in the framework: the object is made with a
// template number, DoModal or Create builds the window from the template (client size, items,
// menu, styles, all from dialog units through the dialog font), and DestroyWindow (or the end of
// DoModal) removes it while the object lives on. Everything the window receives reaches the
// object as a call to one of the virtual handlers below, which derived dialogs override as a
// framework dialog overrides its message handlers:
//
//   window built        -> OnSize(SIZE_RESTORED, cx, cy) once, before the items exist
//   items built         -> OnInitDialog (default: UpdateData(FALSE))
//   menu item, button,  -> OnCommand(id); Enter -> the default button's id, else IDOK;
//   accelerator key        Esc -> IDCANCEL; default OnCommand: IDOK -> OnOK, IDCANCEL -> OnCancel
//   system-menu item    -> OnSysCommand(id); default handles SC_CLOSE/MINIMIZE/MAXIMIZE/RESTORE
//   close box, Alt+F4   -> OnClose (default: the IDCANCEL command)
//   client resized      -> OnSize(type, cx, cy)
//   client painted      -> OnEraseBkgnd(dc), then OnPaint(dc)
//   window going away   -> OnDestroy
//
// A modal run blocks the dialog's owner. A dialog without an owner (the program's main window)
// blocks nothing, so the window system is not told it is modal.
//
// Where the window manager offers no system menu a program may extend, the system menu is a
// pop-up of the window (right-click, the context-menu key, Alt+Space), shown once the program
// has asked for it with GetSystemMenu. A template item of custom class gets its widget from
// CreateCustomControl, placed in the rectangle the template reserves.

#include "platform/DialogUnits.h"
#include "platform/Wnd.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QPainter;
class CDialog;
class CDialogWindow;

#ifndef _WIN32
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_SEPARATOR = 0x0800;
#endif

// A menu of a dialog: its menu bar's pop-ups or its system menu. Items carry command numbers;
// choosing one sends the number to the dialog.
class CMenu {
public:
    CMenu(QMenu* pMenu, std::function<void(UINT)> onChoose);
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // MF_SEPARATOR, or a text item (MF_STRING, optionally MF_GRAYED) with its command number.
    BOOL AppendMenu(UINT nFlags, UINT nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    [[nodiscard]] int GetMenuItemCount() const;
    // The command of the item at nPos; 0 for a separator, -1 (as UINT) past the end.
    [[nodiscard]] UINT GetMenuItemID(int nPos) const;
    [[nodiscard]] std::string GetMenuString(int nPos) const;
    [[nodiscard]] QMenu* GetSafeHmenu() const { return m_pMenu; }

private:
    QMenu* m_pMenu;
    std::function<void(UINT)> m_onChoose;
};

// What UpdateData hands DoDataExchange.
struct CDataExchange {
    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;
};

// Exchanges a member with a control's text, as plain text.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& strValue);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally (through the modal seam) and returns the code it ended with, or
    // -1 when it could not be created or a quit request ended the run.
    virtual INT_PTR DoModal();
    // Creates the window modeless; shown now only if the template says WS_VISIBLE. Without a
    // parent, the window is owned by the application's main window.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL DestroyWindow();
    void EndDialog(int nResult);

    // Centres over the owner (or pAlternateOwner); over the screen's work area when there is
    // none, or it is hidden or minimised. The window stays inside the work area.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // The control with the given number, while the window exists; null otherwise.
    [[nodiscard]] CWnd* GetDlgItem(int nID) const;
    // The template's items in template order (for those without a number of their own).
    [[nodiscard]] int GetItemCount() const { return static_cast<int>(m_items.size()); }
    [[nodiscard]] CWnd* GetItem(int nIndex) const;
    // Template dialog units to pixels, with this dialog's font.
    void MapDialogRect(RECT* pRect) const;
    [[nodiscard]] CDialogBaseUnits GetBaseUnits() const { return m_baseUnits; }

    [[nodiscard]] UINT GetTemplateId() const { return m_nIDTemplate; }
    [[nodiscard]] BOOL IsModalRunning() const { return m_bInModalLoop ? TRUE : FALSE; }

    // The system menu to extend (null for a window without one). bRevert restores the window
    // commands and returns null.
    CMenu* GetSystemMenu(BOOL bRevert);
    // The menu bar's item with this command (null when none), for automation and tests.
    [[nodiscard]] QAction* FindMenuCommand(UINT nID) const;
    // Shows or clears the check mark of a menu command, as CMenu::CheckMenuItem does.
    void CheckMenuCommand(UINT nID, bool bChecked) const;
    // Makes the keys of accelerator table nIDResource send their commands while the window is
    // active. A key whose command is on the menu bar is shown beside that item. FALSE without a
    // window or without such a table.
    BOOL LoadAccelTable(UINT nIDResource);
    [[nodiscard]] QMenuBar* GetMenuBar() const { return m_pMenuBar; }

    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    [[nodiscard]] HICON GetIcon(BOOL bBigIcon) const {
        return bBigIcon ? m_hIconBig : m_hIconSmall;
    }

    // Messages sent to the dialog, as SendMessage would deliver them.
    BOOL SendCommand(UINT nID);
    void SendSysCommand(UINT nID);
    void SendClose();

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnCommand(UINT nID);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSysCommand(UINT nID);
    virtual void OnClose();
    virtual void OnSize(UINT nType, int cx, int cy);
    // Returns TRUE when the background is taken care of; the default fills it with the dialog
    // colour.
    virtual BOOL OnEraseBkgnd(QPainter& dc);
    virtual void OnPaint(QPainter& dc);
    virtual void OnDestroy();
    // The widget for a template item of custom class; it becomes a child of pParent and is
    // placed and shown from the template. The default is an empty widget.
    virtual QWidget* CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent);

    [[nodiscard]] QWidget* GetClientWidget() const override { return m_pClient; }

private:
    friend class CDialogWindow;
    friend class CDialogClient;

    bool CreateDialogWindow(QWidget* pOwner);
    void BuildMenuBar(UINT nMenuId);
    void BuildItems();
    void ResetSystemMenu();
    [[nodiscard]] QWidget* ResolveOwner() const;
    void WindowGone();

    // Entry points from the window; each counts as one message being handled.
    void DispatchInitDialog();
    void DispatchSize(UINT nType, int cx, int cy);
    void DispatchPaint(QWidget* pClient);
    void DispatchClose();
    void DispatchEnter();
    void DispatchWindowState();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    QWidget* m_pClient = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    std::vector<std::unique_ptr<CWnd>> m_items;
    std::map<int, CWnd*> m_controls;
    std::unique_ptr<CMenu> m_pSystemMenu;
    bool m_bSystemMenuInUse = false;
    CDialogBaseUnits m_baseUnits;
    HICON m_hIconBig = nullptr;
    HICON m_hIconSmall = nullptr;
    DWORD m_dwStyle = 0;
    INT_PTR m_nModalResult = -1;
    bool m_bEnded = false;
    bool m_bInModalLoop = false;
    int m_nDispatchDepth = 0;
    UINT m_nLastSizeType = 0xFFFFFFFF;
    int m_nLastCx = -1;
    int m_nLastCy = -1;
};

// Window flags for a template's window and extended styles.
[[nodiscard]] Qt::WindowFlags WindowFlagsForStyle(DWORD dwStyle, DWORD dwExStyle);

// Where a window of size szWindow goes to be centred over rcOver and stay inside rcWork.
[[nodiscard]] QPoint CenteredPosition(QSize szWindow, const QRect& rcOver, const QRect& rcWork);

// The quit request: ends every running modal dialog with -1 once control returns to the event
// loop, and makes a DoModal started afterwards return -1 at once, until it is reset.
void PostQuitMessage(int nExitCode);
[[nodiscard]] bool PeekQuitMessage(int* pnExitCode = nullptr);
void ResetQuitMessage();
