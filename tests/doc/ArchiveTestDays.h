#pragma once
// Days for the summary, scan, cache and --summary tests: lines written as a logger writes them,
// kept beside the file so that a test can work out by brute force what the summary must say.

#include "data/DaySummary.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace archive_tests {

struct CTestLine {
    int nSecond = 0;       // seconds into the day as written (86400 is 24:00:00)
    std::string strValue;  // as written
    bool bSkipped = false; // written with a time the reader cannot represent
    [[nodiscard]] double Value() const { return std::strtod(strValue.c_str(), nullptr); }
};

// A day of readings every nStep seconds (two in some seconds), with gaps, a storm in the
// afternoon and lines the reader must skip when bSkips.
inline std::vector<CTestLine> MakeDay(unsigned nSeed, int nStep = 7, bool bSkips = true,
                                      double dStorm = 9.0) {
    std::mt19937 rng(nSeed);
    std::uniform_real_distribution<double> noise(-0.3, 0.3);
    std::vector<CTestLine> lines;
    const int nGapFrom = 3600 * (2 + static_cast<int>(nSeed % 5)); // an hour or so without data
    for (int s = static_cast<int>(nSeed % 5); s < 86400; s += nStep + static_cast<int>(rng() % 3)) {
        if (s >= nGapFrom && s < nGapFrom + 4000) {
            continue;
        }
        const double dSwing = s > 14 * 3600 && s < 16 * 3600 ? dStorm * std::sin(s / 300.0) : 0;
        char sz[32];
        std::snprintf(sz, sizeof sz, "%.3f", 0.3 + noise(rng) + dSwing);
        lines.push_back({s, sz});
        if (rng() % 10 == 0) {
            std::snprintf(sz, sizeof sz, "%.3f", -0.2 + noise(rng) + dSwing);
            lines.push_back({s, sz}); // two readings in one second
        }
        if (bSkips && rng() % 97 == 0) {
            lines.push_back({0, "1.0", true});
        }
    }
    return lines;
}

inline std::string TextOf(const std::vector<CTestLine>& lines) {
    std::string str;
    for (const CTestLine& line : lines) {
        char sz[64];
        if (line.bSkipped) {
            std::snprintf(sz, sizeof sz, "99999999999:00:00,%s\n", line.strValue.c_str());
        } else {
            std::snprintf(sz, sizeof sz, "%02d:%02d:%02d,%s\n", line.nSecond / 3600,
                          (line.nSecond / 60) % 60, line.nSecond % 60, line.strValue.c_str());
        }
        str += sz;
    }
    return str;
}

inline void WriteDay(const std::string& strPath, const std::vector<CTestLine>& lines) {
    testing_support::WriteFile(strPath, TextOf(lines));
}

// What a summary must say, worked out from the lines by the plainest means.
struct CBruteDay {
    int nReadings = 0;
    int nSkipped = 0;
    int nCovered = 0;
    double dMin = 0, dMax = 0, dPeak = 0;
    int nMinSecond = 0, nMaxSecond = 0, nPeakSecond = 0;
    bool bAny = false;
    double dSecondsAt[2] = {0, 0}; // at or above the two levels given
    struct CHour {
        int nReadings = 0;
        int nCovered = 0;
        std::vector<double> values;
        [[nodiscard]] double Mean() const {
            double d = 0;
            for (const double v : values) {
                d += v;
            }
            return d / static_cast<double>(values.size());
        }
        [[nodiscard]] double StdDev() const {
            const double dMean = Mean();
            double d = 0;
            for (const double v : values) {
                d += (v - dMean) * (v - dMean);
            }
            return std::sqrt(d / static_cast<double>(values.size() - 1));
        }
    } hours[24];
};

inline CBruteDay BruteForce(const std::vector<CTestLine>& lines, double dLevel1, double dLevel2) {
    CBruteDay day;
    std::map<int, int> perSecond;
    std::vector<const CTestLine*> read;
    for (const CTestLine& line : lines) {
        if (line.bSkipped) {
            ++day.nSkipped;
            continue;
        }
        read.push_back(&line);
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        const CTestLine& line = *read[i];
        const double v = line.Value();
        ++day.nReadings;
        const int nSecond = std::min(line.nSecond, 86399);
        ++perSecond[nSecond];
        CBruteDay::CHour& hour = day.hours[nSecond / 3600];
        ++hour.nReadings;
        hour.values.push_back(v);
        if (!day.bAny || v < day.dMin) {
            day.dMin = v;
            day.nMinSecond = line.nSecond;
        }
        if (!day.bAny || v > day.dMax) {
            day.dMax = v;
            day.nMaxSecond = line.nSecond;
        }
        if (!day.bAny || std::fabs(v) > std::fabs(day.dPeak)) {
            day.dPeak = v;
            day.nPeakSecond = line.nSecond;
        }
        day.bAny = true;
        if (i + 1 < read.size()) {
            const int nHeld = read[i + 1]->nSecond - line.nSecond;
            day.dSecondsAt[0] += std::fabs(v) >= dLevel1 ? nHeld : 0;
            day.dSecondsAt[1] += std::fabs(v) >= dLevel2 ? nHeld : 0;
        }
    }
    for (const auto& [nSecond, nCount] : perSecond) {
        ++day.nCovered;
        ++day.hours[nSecond / 3600].nCovered;
    }
    return day;
}

} // namespace archive_tests
