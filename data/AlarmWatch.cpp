#include "data/AlarmWatch.h"

#include <cmath>

namespace {
constexpr double SECONDS_PER_DAY = 86400.0;
}

void CAlarmWatch::Configure(double dWarning, double dAlert, double dHoldSeconds) {
    m_dWarning = dWarning > 0.0 ? dWarning : dAlert;
    m_dAlert = dAlert;
    m_dHoldDays = std::max(dHoldSeconds, 0.0) / SECONDS_PER_DAY;
    m_bInAlarm = false;
    m_bRun = false;
}

bool CAlarmWatch::Feed(std::span<const FieldSample> readings) {
    if (!(m_dAlert > 0.0)) {
        return false;
    }
    const bool bWas = m_bInAlarm;
    for (const FieldSample& reading : readings) {
        if (std::isnan(reading.dValue)) {
            continue;
        }
        const double dMagnitude = std::fabs(reading.dValue);
        // The stretch that would change the state: high while calm, low while in alarm.
        const bool bToward = m_bInAlarm ? dMagnitude < m_dWarning : dMagnitude >= m_dAlert;
        if (!bToward) {
            m_bRun = false;
            continue;
        }
        if (!m_bRun) {
            m_bRun = true;
            m_dRunFrom = reading.dTime;
        }
        if (reading.dTime - m_dRunFrom >= m_dHoldDays) {
            m_bInAlarm = !m_bInAlarm;
            m_bRun = false;
            if (m_bInAlarm) {
                m_dBegan = m_dRunFrom;
            }
        }
    }
    return m_bInAlarm != bWas;
}
