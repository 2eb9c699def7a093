#include "data/Flashes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double SECONDS_PER_DAY = 86400.0;
// Clock times are whole seconds held in day numbers: a second apart may come out a hair over.
constexpr double GAP_DAYS = (FLASH_MAX_GAP_SECONDS + 1e-3) / SECONDS_PER_DAY;
constexpr double MERGE_DAYS = FLASH_MERGE_SECONDS / SECONDS_PER_DAY;
} // namespace

bool CFlashDetector::Take(const FieldSample& reading, CFlash* pFlash) {
    if (!std::isfinite(reading.dValue)) {
        return false;
    }
    const bool bHadPrevious = m_bPrevious;
    const FieldSample previous = m_previous;
    m_bPrevious = true;
    m_previous = reading;
    if (!bHadPrevious || !(m_dStep > 0.0)) {
        return false;
    }
    const double dGap = reading.dTime - previous.dTime;
    const double dStep = reading.dValue - previous.dValue;
    if (dGap < 0.0 || dGap > GAP_DAYS || !(std::fabs(dStep) >= m_dStep)) {
        return false;
    }
    if (m_bMarked && reading.dTime >= m_dMarked && reading.dTime - m_dMarked <= MERGE_DAYS) {
        return false; // the same flash
    }
    m_bMarked = true;
    m_dMarked = reading.dTime;
    if (pFlash != nullptr) {
        *pFlash = {reading.dTime, dStep, 0};
    }
    return true;
}

void CFlashDetector::Resume(std::span<const FieldSample> before, const CFlash* pLastMarked) {
    m_bPrevious = false;
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        if (std::isfinite(it->dValue)) {
            m_bPrevious = true;
            m_previous = *it;
            break;
        }
    }
    m_bMarked = pLastMarked != nullptr;
    m_dMarked = pLastMarked != nullptr ? pLastMarked->dTime : 0.0;
}

std::vector<CFlash> FindFlashes(std::span<const FieldSample> records, double dStepLevel) {
    std::vector<CFlash> flashes;
    FindFlashesFrom(records, 0, dStepLevel, flashes);
    return flashes;
}

void FindFlashesFrom(std::span<const FieldSample> records, std::size_t nFirst, double dStepLevel,
                     std::vector<CFlash>& flashes) {
    nFirst = std::min(nFirst, records.size());
    std::erase_if(flashes, [nFirst](const CFlash& flash) { return flash.nIndex >= nFirst; });
    CFlashDetector detector(dStepLevel);
    detector.Resume(records.first(nFirst), flashes.empty() ? nullptr : &flashes.back());
    for (std::size_t i = nFirst; i < records.size(); ++i) {
        CFlash flash;
        if (detector.Take(records[i], &flash)) {
            flash.nIndex = i;
            flashes.push_back(flash);
        }
    }
}

std::size_t FlashesWithin(const std::vector<CFlash>& flashes, double dTo, double dSeconds) {
    const double dFrom = dTo - dSeconds / SECONDS_PER_DAY;
    return static_cast<std::size_t>(
        std::count_if(flashes.begin(), flashes.end(), [&](const CFlash& flash) {
            return flash.dTime > dFrom && flash.dTime <= dTo;
        }));
}
