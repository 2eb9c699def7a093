// Menu 149, the main window's menu bar. Its items are always enabled and carry no accelerators.

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
        },
    };
    return nId == s_mainMenu.nId ? &s_mainMenu : nullptr;
}
