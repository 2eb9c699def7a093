#pragma once
// Registry tests run on one of two back ends, the one the build uses: natively the hive files, in
// a private XDG_CONFIG_HOME per test; on Windows (and under Wine) the system's registry, with
// HKEY_CURRENT_USER redirected for the test to a fresh key of its own, which goes with the test.
// Either way the user's own settings are never touched.

#include "platform/Registry.h"
#include "tests/TestSupport.h"

#ifndef _WIN32
#include "platform/RegistryHive.h"
#endif

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace testing_support {

// A value as the store holds it.
struct CStoredValue {
    DWORD dwType = 0;
    std::string strData;
};

// True when the system's registry is Wine's, which leaves a few of Windows' checks out.
[[nodiscard]] bool RunningUnderWine();

class CRegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What a new run of the program finds: nothing of the registry remembered in this process.
    static void StartNextRun();

    // The value under HKEY_CURRENT_USER\strKey (empty: the root itself) as a new run reads it:
    // natively by a fresh parse of the hive file, on Windows through a handle of its own.
    [[nodiscard]] static std::optional<CStoredValue> StoredValue(const std::string& strKey,
                                                                 const std::string& strName);

#ifndef _WIN32
    [[nodiscard]] static std::string HivePath() {
        return RegistryHivePath(HKEY_CURRENT_USER);
    }
    [[nodiscard]] static std::string HiveText() {
        return ReadFile(HivePath());
    }

    // The value as the file holds it, read by a fresh parse of the hive file.
    [[nodiscard]] static const CHiveValue* FileValue(CHiveKey& tree, const std::string& strKey,
                                                     const std::string& strName);
#endif

    CTempDir m_dir;

private:
#ifdef _WIN32
    std::string m_strPrivateKey;
#else
    std::string m_strOldConfig;
#endif
};

} // namespace testing_support
