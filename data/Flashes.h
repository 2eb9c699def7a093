#pragma once
// Probable lightning flashes, seen as field steps. A flash nearby moves the field by kV/m within a
// fraction of a second, then the field relaxes back over seconds; the storm's own swings take
// minutes. So a flash is marked where the field changes by at least the step level between two
// readings no more than a second apart. The field's change is taken, not that of |E|: a flash
// may turn the field's polarity. Steps within two seconds of a marked flash are that flash (a
// flash's strokes, the first second of its recovery). Readings that are not numbers are passed
// over.

#include "data/FieldSample.h"

#include <cstddef>
#include <span>
#include <vector>

constexpr double DEFAULT_FLASH_STEP = 1.0;    // kV/m
constexpr double FLASH_MAX_GAP_SECONDS = 1.0; // between the two readings of a step
constexpr double FLASH_MERGE_SECONDS = 2.0;   // one flash, one mark

struct CFlash {
    double dTime = 0.0;     // of the reading after the step (a day number)
    double dStep = 0.0;     // the field's change, kV/m
    std::size_t nIndex = 0; // that reading's index in the records given
};

// Finds flashes reading by reading, for readings that arrive over time.
class CFlashDetector {
public:
    explicit CFlashDetector(double dStepLevel = DEFAULT_FLASH_STEP) : m_dStep(dStepLevel) {}
    // Takes the next reading; true, with the flash, when a step ends at it.
    bool Take(const FieldSample& reading, CFlash* pFlash);
    // The next reading has no reading before it.
    void Forget() { m_bPrevious = false; }
    // Goes on after records already looked at, whose last marked flash was at dMarked (if any).
    void Resume(std::span<const FieldSample> before, const CFlash* pLastMarked);

private:
    double m_dStep;
    bool m_bPrevious = false;
    FieldSample m_previous{0.0, 0.0};
    bool m_bMarked = false;
    double m_dMarked = 0.0;
};

// The flashes in a day's records at a step level (kV/m).
[[nodiscard]] std::vector<CFlash> FindFlashes(std::span<const FieldSample> records,
                                              double dStepLevel = DEFAULT_FLASH_STEP);
// The incremental form for a followed day: records from nFirst on are new (or replace an
// unfinished last line). Drops the flashes found from nFirst on and looks at those records again,
// with the records before as they were.
void FindFlashesFrom(std::span<const FieldSample> records, std::size_t nFirst, double dStepLevel,
                     std::vector<CFlash>& flashes);
// How many flashes lie in (dTo - dSeconds, dTo].
[[nodiscard]] std::size_t FlashesWithin(const std::vector<CFlash>& flashes, double dTo,
                                        double dSeconds);
