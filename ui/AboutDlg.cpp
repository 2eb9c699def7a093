#include "ui/AboutDlg.h"

// No parent: the box belongs to the application's main window.
CAboutDlg::CAboutDlg() : CDialog(IDD) {}
