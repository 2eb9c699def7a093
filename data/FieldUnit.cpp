#include "data/FieldUnit.h"

#include <cmath>
#include <cstdio>

std::string CFieldUnit::Format(double dField) const {
    char sz[48];
    std::snprintf(sz, sizeof sz, bPotentialGradient ? "%.0f" : "%.3f", Shown(dField));
    std::string str(sz);
    // A gradient that rounds to zero reads "0", whichever side of it the reading was.
    if (bPotentialGradient && !str.empty() && str[0] == '-' &&
        str.find_first_not_of("0.", 1) == std::string::npos) {
        str.erase(0, 1);
    }
    return str;
}

std::string CFieldUnit::FormatSize(double dField) const {
    char sz[48];
    std::snprintf(sz, sizeof sz, bPotentialGradient ? "%.0f" : "%.3f", dField * std::fabs(Scale()));
    return sz;
}

std::string CFieldUnit::FormatLevel(double dLevel) const {
    char sz[48];
    std::snprintf(sz, sizeof sz, "%g", dLevel * std::fabs(Scale()));
    return sz;
}
