#pragma once
// CFieldUnit: how readings are shown. A day file holds the field E in kV/m as the mill logged it;
// researchers read the potential gradient PG = -E in V/m, in which the fair-weather field reads
// about +100 V/m. Every axis, read-out and table that shows a reading passes it through one of
// these; the readings themselves, the alarm levels (levels of |E| in kV/m) and the files never
// change.

#include <string>

struct CFieldUnit {
    bool bPotentialGradient = false;

    // Shown = Scale() x logged. Negative for the gradient: its axis runs the other way.
    [[nodiscard]] double Scale() const { return bPotentialGradient ? -1000.0 : 1.0; }
    [[nodiscard]] double Shown(double dField) const { return dField * Scale(); }
    // "kV/m" or "V/m".
    [[nodiscard]] const char* Unit() const { return bPotentialGradient ? "V/m" : "kV/m"; }
    // The value axis's title.
    [[nodiscard]] const char* AxisTitle() const {
        return bPotentialGradient ? "PG  V / m" : "kV / m";
    }
    // A logged reading as shown: three decimals of kV/m (the loggers' resolution), or whole V/m,
    // never "-0".
    [[nodiscard]] std::string Format(double dField) const;
    // The same with the unit: "0.463 kV/m", "-463 V/m".
    [[nodiscard]] std::string FormatWithUnit(double dField) const {
        return Format(dField) + " " + Unit();
    }
    // A size without a sign (a level of |E|, a standard deviation) in the shown unit, with as
    // many decimals as Format: "1.500", "1500".
    [[nodiscard]] std::string FormatSize(double dField) const;
    // A level of |E| in the shown unit as levels are written, shortest first: "2.5", "2500".
    [[nodiscard]] std::string FormatLevel(double dLevel) const;
};

// The lowest and the highest of two logged extremes as shown: the gradient's lowest is the
// field's highest. Each is {value, time}.
struct CShownExtreme {
    double dValue = 0.0; // logged, kV/m
    double dTime = 0.0;
};
struct CShownExtremes {
    CShownExtreme low;
    CShownExtreme high;
};
[[nodiscard]] inline CShownExtremes ShownExtremes(const CFieldUnit& unit, CShownExtreme min,
                                                  CShownExtreme max) {
    return unit.Scale() < 0.0 ? CShownExtremes{max, min} : CShownExtremes{min, max};
}
