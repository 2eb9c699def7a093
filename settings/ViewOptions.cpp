#include "settings/ViewOptions.h"

#include "settings/RegistryKey.h"
#include "settings/ViewerSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

bool ParseLevel(const std::string& strText, double* pdLevel) {
    if (strText.empty()) {
        *pdLevel = 0.0;
        return true;
    }
    double d = 0.0;
    const char* pEnd = strText.data() + strText.size();
    const auto result = std::from_chars(strText.data(), pEnd, d, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != pEnd || !(d >= 0.0) || d > MAX_FIELD_LEVEL) {
        return false;
    }
    *pdLevel = d;
    return true;
}

std::string FormatLevel(double dLevel) {
    if (!(dLevel > 0.0)) {
        return {};
    }
    char sz[64];
    const auto result = std::to_chars(sz, sz + sizeof sz, dLevel, std::chars_format::fixed);
    return std::string(sz, result.ptr);
}

CAlarmRule AlarmRuleOf(const CViewOptionValues& options) {
    CAlarmRule rule;
    rule.dWarning = options.m_dWarningLevel;
    rule.dAlert = options.m_dAlertLevel;
    rule.dHoldSeconds = options.m_nAlarmHoldSeconds;
    rule.dAllClearSeconds = options.m_nAllClearMinutes * 60.0;
    // A gap in the readings as long as the wait before the window says they stopped is no news.
    rule.dGapSeconds = options.m_nStallSeconds;
    rule.dFlashStep = options.m_dFlashStep;
    rule.nFlashRate = options.m_nFlashRate;
    return rule;
}

void CViewOptions::Load() {
    CViewOptionValues& values = *this;
    values = CViewOptionValues{};
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    if (key.OpenKey(SETTINGS_KEY, FALSE)) {
        auto readLevel = [&key](const char* pszName) {
            double d = 0.0;
            return ParseLevel(key.ReadString(pszName, ""), &d) ? d : 0.0;
        };
        m_dWarningLevel = readLevel(WARNING_LEVEL_VALUE);
        m_dAlertLevel = readLevel(ALERT_LEVEL_VALUE);
        m_dFixedScale = readLevel(FIXED_SCALE_VALUE);
        auto readInt = [&key](const char* pszName, int nMin, int nMax, int nDefault) {
            const int n = key.ReadInt(pszName, nDefault);
            return n >= nMin && n <= nMax ? n : nDefault;
        };
        m_nAlarmHoldSeconds =
            readInt(ALARM_HOLD_VALUE, 0, MAX_ALARM_HOLD_SECONDS, DEFAULT_ALARM_HOLD_SECONDS);
        m_bStatusBar = key.ReadInt(STATUS_BAR_VALUE, 1) != 0;
        m_bFollowNewest = key.ReadInt(FOLLOW_NEWEST_VALUE, 0) != 0;
        m_nAllClearMinutes =
            readInt(ALL_CLEAR_VALUE, 0, MAX_ALL_CLEAR_MINUTES, DEFAULT_ALL_CLEAR_MINUTES);
        m_nStallSeconds =
            readInt(STALL_VALUE, MIN_STALL_SECONDS, MAX_STALL_SECONDS, DEFAULT_STALL_SECONDS);
        const double dStep = readLevel(FLASH_STEP_VALUE);
        m_dFlashStep = dStep > 0.0 ? dStep : DEFAULT_FLASH_STEP_LEVEL;
        m_nFlashRate = readInt(FLASH_RATE_VALUE, 0, MAX_FLASH_RATE, 0);
        m_bAlarmSound = key.ReadInt(ALARM_SOUND_VALUE, 1) != 0;
        m_nFollowSpanMinutes = readInt(FOLLOW_SPAN_VALUE, 0, 24 * 60, 0);
        if (std::find(std::begin(FOLLOW_SPANS), std::end(FOLLOW_SPANS), m_nFollowSpanMinutes) ==
            std::end(FOLLOW_SPANS)) {
            m_nFollowSpanMinutes = 0;
        }
        m_bPrintLandscape = key.ReadInt(PRINT_LANDSCAPE_VALUE, 0) != 0;
        m_bPotentialGradient = key.ReadInt(POTENTIAL_GRADIENT_VALUE, 0) != 0;
    }
    m_stored = values;
}

COutcome CViewOptions::Save() {
    std::vector<CRegistryKey::CValue> changed;
    const auto level = [&](const char* pszName, double dNow, double dStored) {
        if (dNow != dStored) {
            changed.push_back(CRegistryKey::TextValue(pszName, FormatLevel(dNow)));
        }
    };
    const auto number = [&](const char* pszName, int nNow, int nStored) {
        if (nNow != nStored) {
            changed.push_back(CRegistryKey::IntValue(pszName, nNow));
        }
    };
    level(WARNING_LEVEL_VALUE, m_dWarningLevel, m_stored.m_dWarningLevel);
    level(ALERT_LEVEL_VALUE, m_dAlertLevel, m_stored.m_dAlertLevel);
    level(FIXED_SCALE_VALUE, m_dFixedScale, m_stored.m_dFixedScale);
    number(ALARM_HOLD_VALUE, m_nAlarmHoldSeconds, m_stored.m_nAlarmHoldSeconds);
    number(STATUS_BAR_VALUE, m_bStatusBar ? 1 : 0, m_stored.m_bStatusBar ? 1 : 0);
    number(FOLLOW_NEWEST_VALUE, m_bFollowNewest ? 1 : 0, m_stored.m_bFollowNewest ? 1 : 0);
    number(ALL_CLEAR_VALUE, m_nAllClearMinutes, m_stored.m_nAllClearMinutes);
    number(STALL_VALUE, m_nStallSeconds, m_stored.m_nStallSeconds);
    level(FLASH_STEP_VALUE, m_dFlashStep, m_stored.m_dFlashStep);
    number(FLASH_RATE_VALUE, m_nFlashRate, m_stored.m_nFlashRate);
    number(ALARM_SOUND_VALUE, m_bAlarmSound ? 1 : 0, m_stored.m_bAlarmSound ? 1 : 0);
    number(FOLLOW_SPAN_VALUE, m_nFollowSpanMinutes, m_stored.m_nFollowSpanMinutes);
    number(PRINT_LANDSCAPE_VALUE, m_bPrintLandscape ? 1 : 0, m_stored.m_bPrintLandscape ? 1 : 0);
    number(POTENTIAL_GRADIENT_VALUE, m_bPotentialGradient ? 1 : 0,
           m_stored.m_bPotentialGradient ? 1 : 0);
    if (changed.empty()) {
        return {};
    }
    CRegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    LONG lStatus = ERROR_SUCCESS;
    if (!key.OpenKey(SETTINGS_KEY, TRUE)) {
        lStatus = ERROR_WRITE_FAULT;
    } else {
        lStatus = key.WriteValues(changed);
    }
    if (lStatus == ERROR_SUCCESS) {
        m_stored = static_cast<const CViewOptionValues&>(*this);
        return {};
    }
    return COutcome::Fail("cannot save the view options to " +
                          DescribeRegistryLocation(HKEY_CURRENT_USER) + ": " +
                          DescribeRegistryStatus(lStatus));
}
