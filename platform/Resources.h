#pragma once
// The program's resources, looked up by number as the platform's resource calls look them up in
// the executable. The dialog layer finds templates, menus, icons and strings here; the program's
// res/ module defines these functions, as a resource script does on Windows.

#include "platform/DialogTemplate.h"
#include "platform/Wnd.h"

#include <string>

// The icon with the given number, shared for the whole run and never destroyed by its users;
// null for a number the program has no icon for. Needs the application object.
[[nodiscard]] HICON LoadIcon(UINT nId);

// The string with the given number; empty for a number the table does not hold.
[[nodiscard]] std::string LoadString(UINT nId);
