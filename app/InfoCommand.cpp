#include "app/InfoCommand.h"

#include "data/FieldLoader.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

namespace {
std::string JsonNumber(double d) {
    if (!std::isfinite(d)) {
        return "null";
    }
    char sz[32];
    const auto result = std::to_chars(sz, sz + sizeof(sz), d);
    return std::string(sz, result.ptr);
}

std::string JsonString(const std::string& str) {
    std::string strOut = "\"";
    for (const unsigned char c : str) {
        switch (c) {
        case '"':
            strOut += "\\\"";
            break;
        case '\\':
            strOut += "\\\\";
            break;
        case '\n':
            strOut += "\\n";
            break;
        case '\r':
            strOut += "\\r";
            break;
        case '\t':
            strOut += "\\t";
            break;
        default:
            if (c < 0x20) {
                char sz[8];
                std::snprintf(sz, sizeof(sz), "\\u%04x", c);
                strOut += sz;
            } else {
                strOut += static_cast<char>(c);
            }
        }
    }
    return strOut + "\"";
}

// The clock time a day number shows: its fraction of the day, to the nearest second.
std::string ClockOf(double dTime) {
    double dWhole = 0.0;
    const double dFraction = std::modf(dTime, &dWhole);
    long nSeconds = std::lround((dFraction < 0 ? dFraction + 1.0 : dFraction) * 86400.0) % 86400;
    char sz[16];
    std::snprintf(sz, sizeof(sz), "%02ld:%02ld:%02ld", nSeconds / 3600, (nSeconds / 60) % 60,
                  nSeconds % 60);
    return sz;
}
} // namespace

std::string FormatLoadSummaryJson(const std::string& strPath, const CFieldRead& day) {
    const CLoadSummary& summary = day.summary;
    const std::span<const FieldSample> records = day.records;
    const int n = summary.nRecords;
    const bool bAny = n > 0;
    std::string str = "{";
    str += "\"path\": " + JsonString(strPath);
    str += ", \"records\": " + std::to_string(n);
    str += ", \"skipped\": " + std::to_string(summary.nSkipped);
    str += ", \"first_time\": " + (bAny ? JsonNumber(records.front().dTime) : "null");
    str += ", \"last_time\": " + (bAny ? JsonNumber(records.back().dTime) : "null");
    str += ", \"first_clock\": " + (bAny ? JsonString(ClockOf(records.front().dTime)) : "null");
    str += ", \"last_clock\": " + (bAny ? JsonString(ClockOf(records.back().dTime)) : "null");
    const bool bValues = summary.bAnyFinite;
    str += ", \"min\": " + (bValues ? JsonNumber(summary.dValueMin) : "null");
    str += ", \"max\": " + (bValues ? JsonNumber(summary.dValueMax) : "null");
    str += ", \"value_range\": [" + JsonNumber(-summary.dScale) + ", " +
           JsonNumber(summary.dScale) + "]";
    str += ", \"time_range\": [" + JsonNumber(summary.dTimeLow) + ", " +
           JsonNumber(summary.dTimeHigh) + "]";
    str += "}";
    return str;
}

int RunInfoCommand(const std::string& strPath, std::ostream& out, std::ostream& err) {
    // The same read the viewer runs, into an array of the same size.
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    const CFieldRead day = ReadFieldFile(strPath, samples);
    if (const COutcome read = OutcomeOfRead(strPath, day); !read.Ok()) {
        err << read.Error() << "\n";
        return 1;
    }
    out << FormatLoadSummaryJson(strPath, day) << "\n";
    return 0;
}
