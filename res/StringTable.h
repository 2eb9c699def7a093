#pragma once
// The program's string table.

#include "platform/WinTypes.h"

#include <string>

// The string with the given number; empty for a number the table does not hold.
[[nodiscard]] std::string LoadString(UINT nId);
