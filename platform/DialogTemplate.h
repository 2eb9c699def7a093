#pragma once
// The in-memory form of dialog, menu and accelerator resources: what a dialog template says about
// the window and each of its items (positions and sizes in dialog units, styles, texts), a menu as
// a tree of items, and the keys that send commands. The program's own resources are data in res/;
// CDialog builds windows from them.

#include "platform/WinTypes.h"

#include <string>
#include <vector>

#ifndef _WIN32
// Window styles
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Dialog styles
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x800;

// Static control styles
constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_CENTER = 0x1;
constexpr DWORD SS_RIGHT = 0x2;
constexpr DWORD SS_ICON = 0x3;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_NOPREFIX = 0x80;
constexpr DWORD SS_CENTERIMAGE = 0x200;

// Button styles
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;

// Accelerator flags (ACCEL::fVirt) and the virtual keys beyond letters and digits that the
// program's tables use
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;
constexpr WORD VK_PRIOR = 0x21; // Page Up
constexpr WORD VK_NEXT = 0x22;  // Page Down
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F24 = 0x87;
#endif

// The kinds of item the program's templates hold.
enum class EDialogItemKind {
    Static,     // text static; SS_* alignment in the style
    IconStatic, // SS_ICON static showing an icon resource
    Button,     // push button; BS_DEFPUSHBUTTON for the default
    Custom,     // a control the window supplies itself (the strip chart)
};

// The number of items that are never addressed (IDC_STATIC).
constexpr int ITEM_WITHOUT_ID = -1;

struct CDialogItemTemplate {
    EDialogItemKind eKind = EDialogItemKind::Static;
    int nId = -1;
    std::string strText; // text, or for a custom control its class name
    int x = 0;           // position and size in dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD dwStyle = 0;
    UINT nIconId = 0; // IconStatic only
};

struct CDialogTemplate {
    UINT nId = 0;
    bool bExtended = false; // DIALOGEX
    int x = 0;              // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    std::string strCaption;
    std::string strFontFace;
    int nPointSize = 8;
    UINT nMenuId = 0; // 0: no menu
    std::vector<CDialogItemTemplate> items;
};

struct CMenuItemTemplate {
    std::string strText; // empty for a separator
    UINT nId = 0;        // 0 for a separator or a pop-up
    std::vector<CMenuItemTemplate> popup;

    [[nodiscard]] bool IsSeparator() const { return strText.empty() && popup.empty(); }
    [[nodiscard]] bool IsPopup() const { return !popup.empty(); }
};

struct CMenuTemplate {
    UINT nId = 0;
    std::vector<CMenuItemTemplate> items; // the menu bar's entries, each a pop-up
};

// One key of an accelerator table, in ACCEL's shape: a virtual key ('A'-'Z', '0'-'9', VK_F1 to
// VK_F24, VK_PRIOR, VK_NEXT) with FVIRTKEY and its modifiers, and the command it sends.
struct CAccelTemplate {
    BYTE fVirt = FVIRTKEY;
    WORD key = 0;
    WORD cmd = 0;
};

struct CAccelTableTemplate {
    UINT nId = 0;
    std::vector<CAccelTemplate> entries;
};

// Look-ups into the program's resources (res/); null for an unknown number.
[[nodiscard]] const CDialogTemplate* FindDialogTemplate(UINT nId);
[[nodiscard]] const CMenuTemplate* FindMenuTemplate(UINT nId);
[[nodiscard]] const CAccelTableTemplate* FindAcceleratorTable(UINT nId);
