#include "data/FieldWriter.h"

#include "data/ChartTime.h"
#include "data/FieldUnit.h"
#include "platform/AtomicFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
constexpr double SECONDS_IN_DAY = 86400.0;
constexpr long long LOGGER_MAX_SECONDS = 100LL * 3600 - 1; // 99:59:59: two digits of hours

// Seconds from the day's start, to the nearest second.
long long SecondsOf(double dTime, double dDayStart) {
    return std::llround((dTime - dDayStart) * SECONDS_IN_DAY);
}

void AppendClock(long long nSeconds, std::string* pstr) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%02lld:%02lld:%02lld", nSeconds / 3600, (nSeconds / 60) % 60,
                  nSeconds % 60);
    *pstr += sz;
}

void AppendValue(double dValue, std::string* pstr) {
    char sz[64];
    const auto result = std::to_chars(sz, sz + sizeof sz, dValue);
    pstr->append(sz, result.ptr);
}

// -1000 x the field, to nine significant digits: what a reading of six decimals of kV/m holds,
// without the binary tail the product gains ("463", not "463.00000000000006").
void AppendGradient(double dField, std::string* pstr) {
    char sz[64];
    std::snprintf(sz, sizeof sz, "%.9g", CFieldUnit{true}.Shown(dField) + 0.0); // never "-0"
    *pstr += sz;
}
} // namespace

double FieldDayStart() {
    return ChartTimeFromFields(2004, 1, 1, 0, 0, 0);
}

COutcome FormatReadings(std::span<const FieldSample> records, const CFieldTextSpan& span,
                        EFieldText eFormat, const std::optional<CFileDate>& date,
                        std::string* pstrText) {
    std::string str;
    const bool bGradient = eFormat == EFieldText::GradientTable;
    if (eFormat == EFieldText::Table) {
        str = "time,value\n";
    } else if (bGradient) {
        str = "time,PG (V/m)\n";
    }
    for (const FieldSample& record : records) {
        if (!(record.dTime >= span.dFrom && record.dTime <= span.dTo)) {
            continue;
        }
        const long long nSeconds = SecondsOf(record.dTime, span.dDayStart);
        if (eFormat == EFieldText::LoggerLines) {
            if (nSeconds < 0 || nSeconds > LOGGER_MAX_SECONDS) {
                return COutcome::Fail("a reading lies outside the day (" +
                                      std::to_string(nSeconds) +
                                      " s from its start): the logger's format cannot hold it; "
                                      "export the readings as a table instead");
            }
        } else if (date) {
            str += date->Text() + " ";
        }
        if (nSeconds < 0) {
            str += "-"; // a table may hold a time before the day's start
        }
        AppendClock(nSeconds < 0 ? -nSeconds : nSeconds, &str);
        str += ",";
        if (bGradient) {
            AppendGradient(record.dValue, &str);
        } else {
            AppendValue(record.dValue, &str);
        }
        str += "\n";
    }
    *pstrText = std::move(str);
    return {};
}

COutcome WriteReadings(const std::string& strPath, std::span<const FieldSample> records,
                       const CFieldTextSpan& span, EFieldText eFormat,
                       const std::optional<CFileDate>& date, std::size_t* pnWritten) {
    std::string strText;
    if (COutcome formatted = FormatReadings(records, span, eFormat, date, &strText);
        !formatted.Ok()) {
        return COutcome::Fail("cannot write " + strPath + ": " + formatted.Error());
    }
    if (COutcome written = WriteFileAtomically(strPath, strText); !written.Ok()) {
        return written;
    }
    if (pnWritten != nullptr) {
        std::size_t nLines = 0;
        for (const char c : strText) {
            nLines += c == '\n' ? 1 : 0;
        }
        *pnWritten = nLines - (eFormat == EFieldText::LoggerLines ? 0 : 1);
    }
    return {};
}
