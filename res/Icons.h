#pragma once
// The program's icon resources. Icon 128 is drawn from SVG sources bundled with the program: a
// hand-tuned 16-pixel image and a 32-pixel one that also scales up.

#include "platform/Wnd.h"

// The icon with the given number, shared for the whole run and never destroyed by its users;
// null for a number the program has no icon for. Needs the application object.
[[nodiscard]] HICON LoadIcon(UINT nId);
