#pragma once
// Number fields of a data line, read as the C library's atoi and atof read them in the "C"
// locale (leading blanks skipped, optional sign, stop at the first character that cannot continue
// the number, no number gives 0), without depending on the process locale and without the
// undefined behaviour of atoi on overflow.

// Reads an integer field starting at psz (NUL-terminated). Returns false when the number does
// not fit in an int; *pnValue is then unchanged.
[[nodiscard]] bool ParseIntField(const char* psz, int* pnValue);

// Reads a real field starting at psz (NUL-terminated), as atof does.
[[nodiscard]] double ParseRealField(const char* psz);
