#include "doc/SummaryTable.h"

#include "doc/ArchiveScan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace {
// One field of a row: a number, a text, or nothing.
struct CField {
    enum class EKind { Null, Number, Text };
    EKind eKind = EKind::Null;
    std::string str;
};

using CRow = std::vector<std::pair<const char*, CField>>;

CField Number(double d, int nDecimals = -1) {
    if (!std::isfinite(d)) {
        return {};
    }
    return {CField::EKind::Number, TableNumber(d, nDecimals)};
}

CField Count(long long n) {
    return {CField::EKind::Number, std::to_string(n)};
}

CField Text(std::string str) {
    return {CField::EKind::Text, std::move(str)};
}

CField NumberIf(bool b, double d, int nDecimals = -1) {
    return b ? Number(d, nDecimals) : CField{};
}

CField ClockIf(bool b, double dTime) {
    return b ? Text(ClockText(dTime)) : CField{};
}

// The date and the file, which every row begins with.
void AddDay(CRow& row, const CDayScan& day) {
    row.push_back({"date", day.file.date ? Text(day.file.date->Text()) : CField{}});
    row.push_back({"file", Text(day.file.strName)});
}

// PG = -1000 x E in V/m, to the micro-volt per metre: a reading of kV/m to nine decimals, without
// the binary tail the product gains.
constexpr int GRADIENT_DECIMALS = 6;

CField GradientIf(bool b, double dField, int nDecimals = GRADIENT_DECIMALS) {
    return NumberIf(b, CFieldUnit{true}.Shown(dField) + 0.0, nDecimals);
}

CRow DayColumns(const CDayScan& day, const CSummaryLevels& levels, const CFieldUnit& unit) {
    const CDaySummary& s = day.summary;
    const bool bValues = s.bAnyValue;
    CRow row;
    AddDay(row, day);
    row.push_back({"readings", Count(s.nReadings)});
    row.push_back({"skipped_lines", Count(s.nSkipped)});
    row.push_back({"coverage_pct", Number(100.0 * s.Coverage(), 3)});
    if (unit.bPotentialGradient) {
        // The gradient's lowest is the field's highest.
        row.push_back({"min_pg_V_m", GradientIf(bValues, s.dMax)});
        row.push_back({"min_pg_time", ClockIf(bValues, s.dMaxTime)});
        row.push_back({"max_pg_V_m", GradientIf(bValues, s.dMin)});
        row.push_back({"max_pg_time", ClockIf(bValues, s.dMinTime)});
        row.push_back({"max_abs_pg_V_m", GradientIf(bValues, -std::fabs(s.dPeak))});
    } else {
        row.push_back({"min_kV_m", NumberIf(bValues, s.dMin)});
        row.push_back({"min_time", ClockIf(bValues, s.dMinTime)});
        row.push_back({"max_kV_m", NumberIf(bValues, s.dMax)});
        row.push_back({"max_time", ClockIf(bValues, s.dMaxTime)});
        row.push_back({"max_abs_kV_m", NumberIf(bValues, std::fabs(s.dPeak))});
    }
    row.push_back({"max_abs_time", ClockIf(bValues, s.dPeakTime)});
    const bool bWarning = levels.dWarning > 0.0;
    const bool bAlert = levels.dAlert > 0.0;
    row.push_back({"warning_level_kV_m", NumberIf(bWarning, levels.dWarning)});
    row.push_back({"above_warning_s", NumberIf(bWarning, s.dWarningSeconds, 3)});
    row.push_back({"alert_level_kV_m", NumberIf(bAlert, levels.dAlert)});
    row.push_back({"above_alert_s", NumberIf(bAlert, s.dAlertSeconds, 3)});
    row.push_back({"alarm_episodes", bAlert ? Count(s.nAlarmEpisodes) : CField{}});
    return row;
}

CRow HourColumns(const CDayScan& day, int nHour, const CFieldUnit& unit) {
    const CHourSummary& h = day.summary.hours[static_cast<std::size_t>(nHour)];
    const bool bValues = h.nValues > 0;
    CRow row;
    AddDay(row, day);
    row.push_back({"hour", Count(nHour)});
    row.push_back({"readings", Count(h.nReadings)});
    row.push_back({"coverage_pct", Number(100.0 * h.Coverage(), 3)});
    if (unit.bPotentialGradient) {
        row.push_back({"mean_pg_V_m", GradientIf(bValues, h.dMean, 3)});
        row.push_back({"sd_pg_V_m", GradientIf(h.nValues > 1, -h.dStdDev, 3)});
        row.push_back({"min_pg_V_m", GradientIf(bValues, h.dMax)});
        row.push_back({"max_pg_V_m", GradientIf(bValues, h.dMin)});
    } else {
        row.push_back({"mean_kV_m", NumberIf(bValues, h.dMean, 6)});
        row.push_back({"sd_kV_m", NumberIf(h.nValues > 1, h.dStdDev, 6)});
        row.push_back({"min_kV_m", NumberIf(bValues, h.dMin)});
        row.push_back({"max_kV_m", NumberIf(bValues, h.dMax)});
    }
    return row;
}

std::string HeaderOf(const CRow& row) {
    std::string str;
    for (const auto& [pszName, field] : row) {
        str += str.empty() ? "" : ",";
        str += pszName;
    }
    return str;
}

// Text for JSON: escaped, and valid UTF-8 whatever the bytes were.
std::string JsonString(const std::string& str) {
    std::string out = "\"";
    for (std::size_t i = 0; i < str.size();) {
        const auto c = static_cast<unsigned char>(str[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20) {
                char sz[8];
                std::snprintf(sz, sizeof sz, "\\u%04x", c);
                out += sz;
            } else {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // The length a lead byte announces, and the smallest code point that needs it.
        const int nLength = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        char32_t cp = nLength == 4 ? c & 0x07 : nLength == 3 ? c & 0x0F : c & 0x1F;
        bool bValid = nLength > 0 && i + static_cast<std::size_t>(nLength) <= str.size();
        for (int k = 1; bValid && k < nLength; ++k) {
            const auto cc = static_cast<unsigned char>(str[i + static_cast<std::size_t>(k)]);
            bValid = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        bValid = bValid && !(nLength == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) &&
                 !(nLength == 4 && (cp < 0x10000 || cp > 0x10FFFF));
        if (bValid) {
            out.append(str, i, static_cast<std::size_t>(nLength));
            i += static_cast<std::size_t>(nLength);
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out + "\"";
}

std::string Write(ESummaryFormat eFormat, const CRow& row) {
    std::string str;
    if (eFormat == ESummaryFormat::Csv) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const CField& field = row[i].second;
            str += i == 0 ? "" : ",";
            str += field.eKind == CField::EKind::Text ? CsvField(field.str) : field.str;
        }
        return str;
    }
    str = "{";
    for (const auto& [pszName, field] : row) {
        str += str.size() > 1 ? "," : "";
        str += JsonString(pszName) + ":";
        switch (field.eKind) {
        case CField::EKind::Null:
            str += "null";
            break;
        case CField::EKind::Number:
            str += field.str;
            break;
        case CField::EKind::Text:
            str += JsonString(field.str);
            break;
        }
    }
    return str + "}";
}
} // namespace

std::string TableNumber(double d, int nDecimals) {
    char sz[64];
    const std::to_chars_result result =
        nDecimals < 0 ? std::to_chars(sz, sz + sizeof sz, d)
                      : std::to_chars(sz, sz + sizeof sz, d, std::chars_format::fixed, nDecimals);
    std::string str(sz, result.ptr);
    if (nDecimals > 0 && str.find('.') != std::string::npos) {
        while (str.back() == '0') {
            str.pop_back();
        }
        if (str.back() == '.') {
            str.pop_back();
        }
    }
    return str == "-0" ? "0" : str;
}

std::string CsvField(const std::string& str) {
    if (str.find_first_of(",\"\r\n") == std::string::npos) {
        return str;
    }
    std::string out = "\"";
    for (const char c : str) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string DayCsvHeader(const CFieldUnit& unit) {
    return HeaderOf(DayColumns(CDayScan{}, CSummaryLevels{}, unit));
}

std::string HourCsvHeader(const CFieldUnit& unit) {
    return HeaderOf(HourColumns(CDayScan{}, 0, unit));
}

std::string DayRow(ESummaryFormat eFormat, const CDayScan& day, const CSummaryLevels& levels,
                   const CFieldUnit& unit) {
    return Write(eFormat, DayColumns(day, levels, unit));
}

std::string HourRows(ESummaryFormat eFormat, const CDayScan& day, const CFieldUnit& unit) {
    std::string str;
    for (int nHour = 0; nHour < HOURS_PER_DAY; ++nHour) {
        str += Write(eFormat, HourColumns(day, nHour, unit));
        str += '\n';
    }
    return str;
}
