#include "res/Templates.h"

#include "res/Resource.h"

namespace {

// The resource compiler's shorthand for text statics: child, visible, starts a group.
constexpr DWORD LTEXT_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
// Both lines of the loading window: centred across and, as one line, down.
constexpr DWORD LOADING_LINE_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE;

const CDialogTemplate* AllTemplates() {
    static const CDialogTemplate s_templates[] = {
        {
            .nId = IDD_ABOUTBOX,
            .cx = 217,
            .cy = 54,
            .dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
            .strCaption = "About Quillon",
            .strFontFace = "MS Sans Serif",
            .nPointSize = 8,
            .items =
                {
                    // The version the build gives the program, which --version prints too.
                    {EDialogItemKind::Static, IDC_STATIC, "Quillon Version " QUILLON_VERSION, 40,
                     10, 119, 8, LTEXT_STYLE | SS_NOPREFIX, 0},
                    {EDialogItemKind::Static, IDC_STATIC, ABOUT_MAKER_TEXT, 40, 31, 119, 8,
                     LTEXT_STYLE, 0},
                    {EDialogItemKind::Button, IDOK, "OK", 178, 7, 32, 14,
                     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
                    {EDialogItemKind::Static, IDC_STATIC, "Electric Field Mill Data Viewer", 40, 20,
                     123, 8, LTEXT_STYLE, 0},
                    {EDialogItemKind::IconStatic, IDC_STATIC, "", 11, 11, 20, 20,
                     WS_CHILD | WS_VISIBLE | SS_ICON, IDR_MAINFRAME},
                },
        },
        {
            .nId = IDD_VIEWER_DIALOG,
            .bExtended = true,
            .cx = 588,
            .cy = 318,
            .dwStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                       WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT,
            .dwExStyle = WS_EX_APPWINDOW,
            .strCaption = "",
            .strFontFace = "MS Sans Serif",
            .nPointSize = 8,
            .nMenuId = IDR_MAINMENU,
            .items =
                {
                    {EDialogItemKind::Custom, IDC_STRIPCHART, STRIPCHART_CLASS, 0, 0, 582, 317,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0},
                },
        },
        {
            .nId = IDD_LOADING,
            .cx = 276,
            .cy = 91,
            .dwStyle = WS_POPUP | DS_MODALFRAME | DS_SETFONT,
            .strCaption = "",
            .strFontFace = "MS Sans Serif",
            .nPointSize = 8,
            .items =
                {
                    {EDialogItemKind::Static, IDC_LOADING_TITLE, "-", 7, 2, 262, 38,
                     LOADING_LINE_STYLE, 0},
                    {EDialogItemKind::Static, IDC_LOADING_TEXT, "-", 7, 51, 262, 33,
                     LOADING_LINE_STYLE, 0},
                },
        },
        {
            .nId = IDD_KEYS,
            .cx = 300,
            .cy = 230,
            .dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
            .strCaption = "Keys and Mouse",
            .strFontFace = "MS Sans Serif",
            .nPointSize = 8,
            .items =
                {
                    {EDialogItemKind::Custom, IDC_KEYS_LIST, KEYS_LIST_CLASS, 7, 7, 286, 195,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0},
                    {EDialogItemKind::Button, IDOK, "OK", 243, 209, 50, 14,
                     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
                },
        },
    };
    return s_templates;
}

constexpr int TEMPLATE_COUNT = 4;

} // namespace

const CDialogTemplate* FindDialogTemplate(UINT nId) {
    const CDialogTemplate* pTemplates = AllTemplates();
    for (int i = 0; i < TEMPLATE_COUNT; ++i) {
        if (pTemplates[i].nId == nId) {
            return &pTemplates[i];
        }
    }
    return nullptr;
}
