// Menu 149, the main window's menu bar, and accelerator table 128, the keys of its commands. The
// items are always enabled; a key that runs an item is shown beside it.

#include "platform/DialogTemplate.h"
#include "res/Resource.h"

const CMenuTemplate* FindMenuTemplate(UINT nId) {
    static const CMenuTemplate s_mainMenu{
        IDR_MAINMENU,
        {
            {"&File",
             0,
             {
                 {"&Open...", ID_FILE_OPEN, {}},
                 {"&Recent files", 0, {{"(none)", ID_FILE_RECENT_FIRST, {}}}},
                 {"&Export...", ID_FILE_EXPORT, {}},
                 {"", 0, {}},
                 {"&Print...", ID_FILE_PRINT, {}},
                 {"Print pre&view...", ID_FILE_PRINT_PREVIEW, {}},
                 {"&Landscape page", ID_FILE_PRINT_LANDSCAPE, {}},
                 {"", 0, {}},
                 {"E&xit", ID_FILE_EXIT, {}},
             }},
            {"&Edit",
             0,
             {
                 {"&Copy chart", ID_EDIT_COPY_CHART, {}},
                 {"Copy &read-out", ID_EDIT_COPY_READOUT, {}},
             }},
            {"&View",
             0,
             {
                 {"&Whole day\tHome", ID_VIEW_WHOLE_DAY, {}},
                 {"Zoom &in\t+", ID_VIEW_ZOOM_IN, {}},
                 {"Zoom &out\t-", ID_VIEW_ZOOM_OUT, {}},
                 {"", 0, {}},
                 {"&Fit value scale to view", ID_VIEW_FIT_SCALE, {}},
                 {"Fi&xed value scale...", ID_VIEW_FIXED_SCALE, {}},
                 {"Show as potential &gradient", ID_VIEW_POTENTIAL_GRADIENT, {}},
                 {"&Alarm levels...", ID_VIEW_ALARM_LEVELS, {}},
                 {"Alarm so&und", ID_VIEW_ALARM_SOUND, {}},
                 {"Ac&knowledge last alert\tCtrl+K", ID_VIEW_ACKNOWLEDGE, {}},
                 {"", 0, {}},
                 {"Follow the newest &reading\tEnd", ID_VIEW_FOLLOW, {}},
                 {"Follow the &newest file", ID_VIEW_FOLLOW_NEWEST, {}},
                 {"Follow s&pan",
                  0,
                  {
                      {"Last 1&5 min", ID_VIEW_FOLLOW_SPAN_15, {}},
                      {"Last 3&0 min", ID_VIEW_FOLLOW_SPAN_30, {}},
                      {"Last &1 h", ID_VIEW_FOLLOW_SPAN_60, {}},
                      {"Last &3 h", ID_VIEW_FOLLOW_SPAN_180, {}},
                      {"&Whole day", ID_VIEW_FOLLOW_SPAN_DAY, {}},
                  }},
                 {"", 0, {}},
                 {"Archi&ve overview...\tCtrl+Shift+A", ID_VIEW_ARCHIVE, {}},
                 {"", 0, {}},
                 {"&Status bar", ID_VIEW_STATUS_BAR, {}},
                 {"S&tatistics of the view", ID_VIEW_STATISTICS, {}},
             }},
            {"&Go",
             0,
             {
                 {"&Previous day", ID_GO_PREVIOUS_DAY, {}},
                 {"&Next day", ID_GO_NEXT_DAY, {}},
             }},
            {"&Help",
             0,
             {
                 {"&Keys and mouse...", ID_HELP_KEYS, {}},
                 {"&About Quillon...", ID_APP_ABOUT, {}},
             }},
        },
    };
    return nId == s_mainMenu.nId ? &s_mainMenu : nullptr;
}

const CAccelTableTemplate* FindAcceleratorTable(UINT nId) {
    static const CAccelTableTemplate s_mainKeys{
        IDR_MAINFRAME,
        {
            {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
            {FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT},
            {FVIRTKEY | FCONTROL, 'Q', ID_FILE_EXIT},
            {FVIRTKEY | FCONTROL, 'K', ID_VIEW_ACKNOWLEDGE},
            {FVIRTKEY, VK_F1, ID_APP_ABOUT},
            {FVIRTKEY | FCONTROL | FSHIFT, 'A', ID_VIEW_ARCHIVE},
            {FVIRTKEY | FCONTROL, 'E', ID_FILE_EXPORT},
            {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY_CHART},
            {FVIRTKEY | FCONTROL | FSHIFT, 'C', ID_EDIT_COPY_READOUT},
            {FVIRTKEY, VK_PRIOR, ID_GO_PREVIOUS_DAY},
            {FVIRTKEY, VK_NEXT, ID_GO_NEXT_DAY},
        },
    };
    return nId == s_mainKeys.nId ? &s_mainKeys : nullptr;
}
