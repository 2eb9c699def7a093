#include "data/FieldUnit.h"

#include <cmath>
#include <cstdio>

namespace {
// A value in the shown unit with the unit's decimals: three of kV/m, none of V/m.
std::string Written(double dShown, bool bPotentialGradient) {
    char sz[48];
    std::snprintf(sz, sizeof sz, bPotentialGradient ? "%.0f" : "%.3f", dShown);
    return sz;
}
} // namespace

std::string CFieldUnit::Format(double dField) const {
    std::string str = Written(Shown(dField), bPotentialGradient);
    // A gradient that rounds to zero reads "0", whichever side of it the reading was.
    if (bPotentialGradient && !str.empty() && str[0] == '-' &&
        str.find_first_not_of("0.", 1) == std::string::npos) {
        str.erase(0, 1);
    }
    return str;
}

std::string CFieldUnit::FormatSize(double dField) const {
    return Written(dField * std::fabs(Scale()), bPotentialGradient);
}

std::string CFieldUnit::FormatLevel(double dLevel) const {
    char sz[48];
    std::snprintf(sz, sizeof sz, "%g", dLevel * std::fabs(Scale()));
    return sz;
}
