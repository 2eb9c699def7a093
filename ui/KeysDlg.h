#pragma once
// CKeysDlg: Help > Keys and mouse, template 150: one window that lists every key and mouse action
// of the main window, from the table in KeysDlg.cpp. OK, Enter, Esc and the close box end it.

#include "platform/Dialog.h"
#include "res/Resource.h"

#include <string>
#include <vector>

struct CKeyAction {
    const char* pszKeys; // as the user presses them: "Ctrl+O", "Shift+drag"
    const char* pszAction;
};

// Every key and mouse action of the main window, in the order the window lists them.
[[nodiscard]] const std::vector<CKeyAction>& KeyActions();

class CKeysDlg : public CDialog {
public:
    enum { IDD = IDD_KEYS };

    CKeysDlg();

protected:
    QWidget* CreateCustomControl(int nID, const std::string& strClass, QWidget* pParent) override;
};
