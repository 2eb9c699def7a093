#pragma once
// Registry tests run against real hive files in a private XDG_CONFIG_HOME per test.

#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace testing_support {

class CRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* pszOld = std::getenv("XDG_CONFIG_HOME");
        m_strOldConfig = pszOld != nullptr ? pszOld : "";
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        ForgetRegistryHives();
    }
    void TearDown() override {
        ForgetRegistryHives();
        setenv("XDG_CONFIG_HOME", m_strOldConfig.c_str(), 1);
    }

    [[nodiscard]] static std::string HivePath() { return RegistryHivePath(HKEY_CURRENT_USER); }
    [[nodiscard]] static std::string HiveText() { return ReadFile(HivePath()); }

    // The value as the file holds it, read by a fresh parse of the hive file.
    [[nodiscard]] static const CHiveValue* FileValue(CHiveKey& tree, const std::string& strKey,
                                                     const std::string& strName) {
        CHiveParseError error;
        if (!ParseHive(HiveText(), "HKEY_CURRENT_USER", tree, &error)) {
            ADD_FAILURE() << "hive does not parse: line " << error.nLine << ": " << error.strReason;
            return nullptr;
        }
        std::vector<std::string> path;
        for (std::size_t nStart = 0; !strKey.empty();) {
            const std::size_t nSlash = strKey.find('\\', nStart);
            path.push_back(strKey.substr(nStart, nSlash - nStart));
            if (nSlash == std::string::npos) {
                break;
            }
            nStart = nSlash + 1;
        }
        const CHiveKey* pKey = tree.FindPath(path);
        return pKey != nullptr ? pKey->FindValue(strName) : nullptr;
    }

    CTempDir m_dir;

private:
    std::string m_strOldConfig;
};

} // namespace testing_support
