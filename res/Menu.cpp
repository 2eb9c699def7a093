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
                 {"&Print...", ID_FILE_PRINT, {}},
                 {"", 0, {}},
                 {"E&xit", ID_FILE_EXIT, {}},
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
             }},
            {"&Help",
             0,
             {
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
        },
    };
    return nId == s_mainKeys.nId ? &s_mainKeys : nullptr;
}
