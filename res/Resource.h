#pragma once
// Every resource, command and control number of the program, each with its name. Templates, the
// menu, the string table and the windows refer to these names; the numbers are what a template,
// a command or a test sees.

#include "platform/WinTypes.h"

// Dialog templates
constexpr UINT IDD_ABOUTBOX = 100;      // the About box
constexpr UINT IDD_VIEWER_DIALOG = 146; // the main viewer window
constexpr UINT IDD_LOADING = 147;       // the loading progress window
constexpr UINT IDD_KEYS = 150;          // Help > Keys and mouse

// Menu, icon and accelerators
constexpr UINT IDR_MAINMENU = 149;  // menu bar of the main window
constexpr UINT IDR_MAINFRAME = 128; // application icon (32 x 32 and 16 x 16) and the main window's
                                    // accelerator table

// Strings
constexpr UINT IDS_OLE_INIT_FAILED = 100; // message when the component libraries fail to start
constexpr UINT IDS_ABOUTBOX = 101;        // text of the system-menu About entry

// Controls
constexpr int IDC_STATIC = -1;          // items that are never addressed
constexpr int IDC_STRIPCHART = 1021;    // the strip chart in the main window
constexpr int IDC_LOADING_TITLE = 1134; // upper line of the loading window
constexpr int IDC_LOADING_TEXT = 1135;  // lower line of the loading window
constexpr int IDC_KEYS_LIST = 1140;     // the list of keys and mouse actions

// Menu commands (WM_COMMAND)
constexpr UINT ID_FILE_EXIT = 32771;
constexpr UINT ID_FILE_OPEN = 32772;
constexpr UINT ID_FILE_PRINT = 32773;
// View menu: exploring a day and following it.
constexpr UINT ID_VIEW_WHOLE_DAY = 32780;     // Home
constexpr UINT ID_VIEW_ZOOM_IN = 32781;       // +
constexpr UINT ID_VIEW_ZOOM_OUT = 32782;      // -
constexpr UINT ID_VIEW_FIT_SCALE = 32783;     // check: the value scale fits the view
constexpr UINT ID_VIEW_FIXED_SCALE = 32784;   // a value scale the user types
constexpr UINT ID_VIEW_ALARM_LEVELS = 32785;  // warning and alert levels, the hold time
constexpr UINT ID_VIEW_FOLLOW = 32786;        // End: follow the newest reading
constexpr UINT ID_VIEW_FOLLOW_NEWEST = 32787; // check: move on to the next day's file
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;   // check: the framework's status-bar command
// View menu: the operator's desk.
constexpr UINT ID_VIEW_ALARM_SOUND = 32820;     // check: a tone when the alert rises
constexpr UINT ID_VIEW_ACKNOWLEDGE = 32821;     // Ctrl+K: the last alert was seen
constexpr UINT ID_VIEW_FOLLOW_SPAN_15 = 32822;  // radio: following shows the last 15 min
constexpr UINT ID_VIEW_FOLLOW_SPAN_30 = 32823;  // 30 min
constexpr UINT ID_VIEW_FOLLOW_SPAN_60 = 32824;  // 1 h
constexpr UINT ID_VIEW_FOLLOW_SPAN_180 = 32825; // 3 h
constexpr UINT ID_VIEW_FOLLOW_SPAN_DAY = 32826; // the whole day
// Across days: the overview of the folder's day files (Ctrl+Shift+A).
constexpr UINT ID_VIEW_ARCHIVE = 32800;
constexpr UINT ID_VIEW_POTENTIAL_GRADIENT = 32801; // check: readings as PG = -E in V/m
// Everyday conveniences: the page, export and the clipboard, neighbouring days, the span's
// figures, the keys' help, the recent files.
constexpr UINT ID_FILE_PRINT_PREVIEW = 32850;
constexpr UINT ID_FILE_PRINT_LANDSCAPE = 32851; // check: the page lies across
constexpr UINT ID_FILE_EXPORT = 32852;          // Ctrl+E
constexpr UINT ID_EDIT_COPY_CHART = 32853;      // Ctrl+C: the chart as an image
constexpr UINT ID_EDIT_COPY_READOUT = 32854;    // Ctrl+Shift+C: the read-out as text
constexpr UINT ID_GO_PREVIOUS_DAY = 32855;      // PgUp
constexpr UINT ID_GO_NEXT_DAY = 32856;          // PgDn
constexpr UINT ID_VIEW_STATISTICS = 32857;      // check: the figures of the span in view
constexpr UINT ID_HELP_KEYS = 32858;            // Help > Keys and mouse
constexpr UINT ID_FILE_RECENT_FIRST = 32860;    // File > Recent files, the newest
constexpr UINT ID_FILE_RECENT_LAST = 32867;     // and the eighth
// The framework's About command: Help > About Quillon... and F1.
constexpr UINT ID_APP_ABOUT = 0xE140;

// The framework's standard Help command, routed by the application object.
constexpr UINT ID_HELP = 0xE146;

// System-menu commands of the main window (WM_SYSCOMMAND, compared after masking with 0xFFF0)
constexpr UINT IDM_ABOUTBOX = 0x10;
constexpr UINT IDM_PRINT = 0x30;
constexpr UINT SYSCOMMAND_MASK = 0xFFF0;
