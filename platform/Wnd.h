#pragma once
// CWnd: a window as the program's code addresses it, in the framework's shape, over a QWidget.
//
// A CWnd names a widget it does not own (a dialog's control, or any widget wrapped for the
// program's use); CDialog derives from it and owns its window. Top-level windows follow the
// framework's geometry: MoveWindow and GetWindowRect use the outer rectangle, frame included,
// in screen coordinates; GetClientRect is the client area, which for a dialog excludes its menu
// bar. Texts are UTF-8.

#include "platform/WinTypes.h"

#include <string>

class CFont;
class QIcon;
class QPainter;
class QWidget;

#ifndef _WIN32
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// Icons are shared resources: a handle names an icon that lives for the whole run.
using HICON = const QIcon*;

// ShowWindow
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// WM_SIZE size types
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;

// WM_SETICON
constexpr BOOL ICON_SMALL = 0;
constexpr BOOL ICON_BIG = 1;

// System commands (WM_SYSCOMMAND)
constexpr UINT SC_SIZE = 0xF000;
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_MAXIMIZE = 0xF030;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

// GetSystemMetrics
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
#endif

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(QWidget* hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window, or null when there is none (not created yet, or destroyed).
    [[nodiscard]] QWidget* GetSafeHwnd() const { return m_hWnd; }

    void SetWindowText(const std::string& strText);
    [[nodiscard]] std::string GetWindowText() const;
    // The control draws with a copy of the font; bRedraw repaints it at once.
    void SetFont(const CFont* pFont, BOOL bRedraw = TRUE);

    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void GetWindowRect(RECT* pRect) const;
    void GetClientRect(RECT* pRect) const;
    BOOL ShowWindow(int nCmdShow);
    [[nodiscard]] BOOL IsWindowVisible() const;
    [[nodiscard]] BOOL IsIconic() const;
    [[nodiscard]] BOOL IsZoomed() const;
    void Invalidate(BOOL bErase = TRUE);
    // Paints whatever is pending now, without waiting for the event loop, as far as the window is
    // on the screen; it never waits for the window system to put it there.
    void UpdateWindow();
    [[nodiscard]] int GetDlgCtrlID() const;

protected:
    // The widget that is this window's client area (a dialog's client widget for a CDialog).
    [[nodiscard]] virtual QWidget* GetClientWidget() const { return m_hWnd; }

    QWidget* m_hWnd = nullptr;
};

// The application's main window, which owns dialogs created without a parent; null when none.
[[nodiscard]] CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);

// The few system metrics the program reads: the icon sizes (32 and 16) and the primary screen.
[[nodiscard]] int GetSystemMetrics(int nIndex);

// Draws an icon at its standard size (SM_CXICON x SM_CYICON) with its top-left corner at x, y.
void DrawIcon(QPainter& dc, int x, int y, HICON hIcon);

// For whoever builds controls: the number a widget answers GetDlgCtrlID with, and whether a
// static control shows "&" as it is (SS_NOPREFIX).
void SetDlgCtrlID(QWidget* pWidget, int nId);
void SetStaticNoPrefix(QWidget* pStatic, bool bNoPrefix);

// The text a static control shows for strText: without SS_NOPREFIX a single "&" marks a
// mnemonic and is not shown, and "&&" shows one "&".
[[nodiscard]] std::string StripMnemonicPrefix(const std::string& strText);
