#include "data/AlarmWatch.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double SECONDS_PER_DAY = 86400.0;
// Clock times are whole seconds held in day numbers: a time span may come out a hair short.
constexpr double SLACK_DAYS = 1e-3 / SECONDS_PER_DAY;
} // namespace

void CAlarmWatch::Configure(double dWarning, double dAlert, double dHoldSeconds,
                            double dAllClearSeconds) {
    CAlarmRule rule;
    rule.dWarning = dWarning;
    rule.dAlert = dAlert;
    rule.dHoldSeconds = dHoldSeconds;
    rule.dAllClearSeconds = dAllClearSeconds;
    Configure(rule);
}

void CAlarmWatch::Configure(const CAlarmRule& rule) {
    *this = CAlarmWatch{};
    m_rule = rule;
    m_dWarningLevel = rule.dWarning > 0.0 ? rule.dWarning : rule.dAlert;
    m_dHoldDays = std::max(rule.dHoldSeconds, 0.0) / SECONDS_PER_DAY;
    m_dAllClearDays = std::max(rule.dAllClearSeconds, 0.0) / SECONDS_PER_DAY;
    m_dGapDays = std::max(rule.dGapSeconds, 0.0) / SECONDS_PER_DAY;
    m_flashes = CFlashDetector(rule.dFlashStep);
}

bool CAlarmWatch::Feed(std::span<const FieldSample> readings) {
    if (!(m_dWarningLevel > 0.0) && m_rule.nFlashRate <= 0) {
        return false;
    }
    const bool bWas = InAlarm();
    for (const FieldSample& reading : readings) {
        Take(reading);
    }
    return InAlarm() != bWas;
}

void CAlarmWatch::Take(const FieldSample& reading) {
    if (!std::isfinite(reading.dValue)) {
        return;
    }
    const double t = reading.dTime;
    if (m_bAny && t - m_dLast > m_dGapDays + SLACK_DAYS) {
        // Nothing is known of the gap: it neither holds a stretch nor counts down.
        m_bRun = false;
        m_dCountFrom = t;
        m_flashes.Forget();
    }
    m_bAny = true;
    m_dLast = t;
    const double dMagnitude = std::fabs(reading.dValue);

    bool bRateHigh = false;
    if (m_rule.nFlashRate > 0) {
        CFlash flash;
        if (m_flashes.Take(reading, &flash)) {
            m_flashTimes.push_back(t);
        }
        const double dWindow = FLASH_RATE_WINDOW_SECONDS / SECONDS_PER_DAY;
        while (!m_flashTimes.empty() && m_flashTimes.front() <= t - dWindow) {
            m_flashTimes.pop_front();
        }
        bRateHigh = m_flashTimes.size() >= static_cast<std::size_t>(m_rule.nFlashRate);
    }

    if (m_rule.dAlert > 0.0 && dMagnitude >= m_rule.dAlert) {
        if (!m_bRun) {
            m_bRun = true;
            m_dRunFrom = t;
        }
        if (t - m_dRunFrom >= m_dHoldDays - SLACK_DAYS) {
            Raise(m_dRunFrom, t);
        }
    } else {
        m_bRun = false;
    }
    if (bRateHigh) {
        Raise(m_flashTimes.front(), t);
    }

    const bool bHigh = (m_dWarningLevel > 0.0 && dMagnitude >= m_dWarningLevel) || bRateHigh;
    if (bHigh) {
        m_dCountFrom = t;
        if (m_eLevel == EAlarmLevel::None && m_rule.dWarning > 0.0 &&
            dMagnitude >= m_rule.dWarning) {
            m_eLevel = EAlarmLevel::Warning;
            m_dBegan = t;
        }
    } else if (m_eLevel != EAlarmLevel::None && t - m_dCountFrom >= m_dAllClearDays - SLACK_DAYS) {
        if (m_eLevel == EAlarmLevel::Alert) {
            m_lastEpisode = CAlarmEpisode{m_dBegan, t};
        }
        m_eLevel = EAlarmLevel::None;
    }
}

void CAlarmWatch::Raise(double dBegan, double dAt) {
    if (m_eLevel == EAlarmLevel::Alert) {
        return;
    }
    m_eLevel = EAlarmLevel::Alert;
    m_dBegan = dBegan;
    m_dCountFrom = dAt;
    ++m_nEpisodes;
}

void CAlarmWatch::ShiftDays(double dDays) {
    m_dBegan += dDays;
    m_dCountFrom += dDays;
    m_dRunFrom += dDays;
    m_dLast += dDays;
    if (m_lastEpisode) {
        m_lastEpisode->dBegan += dDays;
        m_lastEpisode->dEnded += dDays;
    }
    for (double& dFlash : m_flashTimes) {
        dFlash += dDays;
    }
    m_flashes.Forget();
}

double CAlarmWatch::SecondsToClear() const {
    if (m_eLevel == EAlarmLevel::None) {
        return 0.0;
    }
    return std::max(0.0, (ClearsAt() - m_dLast) * SECONDS_PER_DAY);
}

std::optional<double> CAlarmWatch::LastReading() const {
    return m_bAny ? std::optional<double>(m_dLast) : std::nullopt;
}
