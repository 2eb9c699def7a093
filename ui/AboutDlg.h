#pragma once
// CAboutDlg: the About box, template 100: the program's name and version, what it is, the maker's
// notice and the icon. It has no behaviour beyond showing its template; OK, Enter, Esc and the
// close box end it through the dialog base.

#include "platform/Dialog.h"
#include "res/Resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();
};
