#include "app/InfoCommand.h"

#include "chart/ChartState.h"
#include "data/FieldLoader.h"
#include "data/Flashes.h"
#include "data/LevelTime.h"
#include "settings/ViewOptions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <utility>
#include <vector>

namespace {
// A number, or null for nan and the infinities, which JSON cannot hold.
QJsonValue JsonNumber(double d) {
    return std::isfinite(d) ? QJsonValue(d) : QJsonValue(QJsonValue::Null);
}

// The clock time a day number shows: its fraction of the day, to the nearest second.
// Seconds to the millisecond. They are summed from day numbers, which hold a clock time only to
// about 1e-8 s, so more digits would print that noise (1765.000000121654 for 1765 s).
QJsonValue JsonSeconds(double dSeconds) {
    return JsonNumber(std::round(dSeconds * 1000.0) / 1000.0);
}

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

std::string FormatLoadSummaryJson(const std::string& strPath, const CFieldRead& day,
                                  const CAlarmRule& rule) {
    const CAlarmLevels alarms{rule.dWarning, rule.dAlert};
    const CLoadSummary& summary = day.summary;
    const std::span<const FieldSample> records = day.records;
    const bool bAny = !records.empty();
    const bool bValues = summary.bAnyFinite;
    const QJsonValue null(QJsonValue::Null);
    QJsonObject json;
    // Bytes of the path that are not UTF-8 become U+FFFD: the JSON stays valid.
    json.insert("path", QString::fromUtf8(strPath.data(), static_cast<qsizetype>(strPath.size())));
    json.insert("records", summary.nRecords);
    json.insert("skipped", summary.nSkipped);
    json.insert("first_time", bAny ? JsonNumber(records.front().dTime) : null);
    json.insert("last_time", bAny ? JsonNumber(records.back().dTime) : null);
    json.insert("first_clock",
                bAny ? QJsonValue(QString::fromStdString(ClockOf(records.front().dTime))) : null);
    json.insert("last_clock",
                bAny ? QJsonValue(QString::fromStdString(ClockOf(records.back().dTime))) : null);
    json.insert("min", bValues ? JsonNumber(summary.dValueMin) : null);
    json.insert("max", bValues ? JsonNumber(summary.dValueMax) : null);
    json.insert("value_range", QJsonArray{JsonNumber(-summary.dScale), JsonNumber(summary.dScale)});
    if (alarms.Any()) {
        // Time spent at or above each level that is set, over the whole day.
        QJsonObject above;
        for (const auto& [pszName, dLevel] :
             {std::pair{"warning", alarms.dWarning}, std::pair{"alert", alarms.dAlert}}) {
            if (dLevel > 0.0) {
                above.insert(QLatin1String(pszName), JsonSeconds(SecondsAtOrAboveLevel(
                                                         records, -HUGE_VAL, HUGE_VAL, dLevel)));
            }
        }
        json.insert("seconds_at_or_above", above);
    }
    if (rule.dAlert > 0.0 || rule.nFlashRate > 0) {
        // The alerts the viewer would have raised, had it followed the day as it was logged.
        CAlarmWatch watch;
        watch.Configure(rule);
        (void)watch.Feed(records);
        json.insert("alarm_episodes", watch.Episodes());
    }
    json.insert("flashes", static_cast<qint64>(FindFlashes(records, rule.dFlashStep).size()));
    json.insert("time_range",
                QJsonArray{JsonNumber(summary.dTimeLow), JsonNumber(summary.dTimeHigh)});
    return QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString();
}

int RunInfoCommand(const std::string& strPath, std::ostream& out, std::ostream& err) {
    // The same read the viewer runs, into an array of the same size.
    std::vector<FieldSample> samples(MAX_FIELD_SAMPLES);
    const CFieldRead day = ReadFieldFile(strPath, samples);
    if (const COutcome read = OutcomeOfRead(strPath, day); !read.Ok()) {
        err << read.Error() << "\n";
        return 1;
    }
    CViewOptions options;
    options.Load();
    out << FormatLoadSummaryJson(strPath, day, AlarmRuleOf(options)) << "\n";
    return 0;
}
