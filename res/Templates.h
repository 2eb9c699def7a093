#pragma once
// The program's dialog templates (100 About box, 146 main window, 147 loading window) and its
// menu 149, as data. FindDialogTemplate and FindMenuTemplate (platform/DialogTemplate.h) look
// them up by number.

#include "platform/DialogTemplate.h"

// The class name the main window's template gives the strip-chart control; the window supplies
// the widget itself.
inline constexpr const char* STRIPCHART_CLASS = "QuillonStripChart";
// The class name of the list in the keys' help (150); that window supplies the widget.
inline constexpr const char* KEYS_LIST_CLASS = "QuillonKeysList";

// The maker's notice line of the About box.
inline constexpr const char* ABOUT_MAKER_TEXT = "Copyright (C) Korvan Corp";
