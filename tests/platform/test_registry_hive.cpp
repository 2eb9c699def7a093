// The hive file: its text format, batches saved in one rewrite, and where the file lives.

#include "tests/platform/test_registry_support.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

using namespace testing_support;

namespace {

struct CValueCase {
    const char* pszLabel;
    std::string strName;
    DWORD dwType;
    std::string strData;
    const char* pszWritten; // how the value line starts after the name's "=", or nullptr
};

std::string Bytes(std::initializer_list<int> bytes) {
    std::string str;
    for (const int b : bytes) {
        str += static_cast<char>(b);
    }
    return str;
}

const std::vector<CValueCase>& ValueCases() {
    using namespace std::string_literals;
    static const std::vector<CValueCase> cases = {
        {"plain text", "Path", REG_SZ, "C:\\Data\\VKS\0"s, "\"C:\\\\Data\\\\VKS\""},
        {"quotes and UTF-8", "Quote \"q\" \\", REG_SZ, "d\xC3\xA9j\xC3\xA0 \"vu\"\0"s,
         "\"d\xC3\xA9j\xC3\xA0 \\\"vu\\\"\""},
        {"empty text", "Empty", REG_SZ, "\0"s, "\"\""},
        {"text without NUL", "NoNul", REG_SZ, "abc", "hex(1):61,62,63"},
        {"text not UTF-8", "Latin1", REG_SZ, "caf\xE9\0"s, "hex(1):"},
        {"text with a line break", "Lines", REG_SZ, "a\nb\0"s, "hex(1):"},
        {"text with inner NUL", "Inner", REG_SZ, "a\0b\0"s, "hex(1):"},
        {"no bytes", "Nothing", REG_SZ, "", "hex(1):"},
        {"expandable", "Expand", REG_EXPAND_SZ, "%HOME%\\vks\0"s, "hex(2):25,48"},
        {"dword", "Count", REG_DWORD, Bytes({0x2C, 0x01, 0, 0}), "dword:0000012c"},
        {"short dword", "Short", REG_DWORD, Bytes({1, 2}), "hex(4):01,02"},
        {"binary", "Window X", REG_BINARY, Bytes({0x50, 0xFB, 0xFF, 0xFF}), "hex:50,fb,ff,ff"},
        {"empty binary", "Zero", REG_BINARY, "", "hex:"},
        {"long binary", "Blob", REG_BINARY, std::string(300, '\x7F'), "hex:7f,7f"},
        {"qword", "Big", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), "hex(b):01,02"},
        {"odd type", "Odd", 0x12345678, "x", "hex(12345678):78"},
        {"default value", "", REG_SZ, "dflt\0"s, "\"dflt\""},
    };
    return cases;
}

} // namespace

// ---- Text format ------------------------------------------------------------------------------

TEST(HiveFormat, EveryValueRoundTripsByteForByte) {
    CHiveKey root;
    CHiveKey* pKey = root.AddSubKey("Software")->AddSubKey("Korvan Corp");
    for (const CValueCase& c : ValueCases()) {
        pKey->SetValue(c.strName, c.dwType, c.strData);
    }
    const std::string strText = FormatHive(root, "HKEY_CURRENT_USER");
    CHiveKey back;
    CHiveParseError error;
    ASSERT_TRUE(ParseHive(strText, "HKEY_CURRENT_USER", back, &error))
        << error.nLine << ": " << error.strReason << "\n"
        << strText;
    EXPECT_EQ(FormatHive(back, "HKEY_CURRENT_USER"), strText);
    const CHiveKey* pBack = back.FindPath({"software", "KORVAN CORP"});
    ASSERT_NE(pBack, nullptr);
    ASSERT_EQ(pBack->Values().size(), ValueCases().size());
    for (std::size_t i = 0; i < ValueCases().size(); ++i) {
        const CValueCase& c = ValueCases()[i];
        const CHiveValue& v = pBack->Values()[i]; // in the order they were set
        EXPECT_EQ(v.strName, c.strName) << c.pszLabel;
        EXPECT_EQ(v.dwType, c.dwType) << c.pszLabel;
        EXPECT_EQ(v.strData, c.strData) << c.pszLabel;
        const std::string strLinePrefix =
            (c.strName.empty() ? std::string("@") : "") + "=" + c.pszWritten;
        EXPECT_NE(strText.find(strLinePrefix), std::string::npos) << c.pszLabel << "\n" << strText;
    }
    for (std::size_t nStart = 0, nEnd; (nEnd = strText.find('\n', nStart)) != std::string::npos;
         nStart = nEnd + 1) {
        EXPECT_LE(nEnd - nStart, 80u) << "hex lines are wrapped";
    }
}

TEST(HiveFormat, ReadsHandWrittenFiles) {
    const std::string strText = "\xEF\xBB\xBFQuillon Registry Hive Version 1\r\n"
                                "; written by hand\r\n"
                                "\r\n"
                                "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                                "\"One\" = dword:1\r\n"
                                "[hkey_current_user\\SOFTWARE\\a\\Empty]\n"
                                "[HKEY_CURRENT_USER\\Software\\a]\n"
                                "\"Two\"=hex:01,02,\\\n"
                                "  03\n";
    CHiveKey root;
    CHiveParseError error;
    ASSERT_TRUE(ParseHive(strText, "HKEY_CURRENT_USER", root, &error)) << error.strReason;
    const CHiveKey* pA = root.FindPath({"Software", "A"});
    ASSERT_NE(pA, nullptr);
    EXPECT_EQ(pA->m_strName, "A");
    EXPECT_NE(pA->FindSubKey("empty"), nullptr);
    ASSERT_NE(pA->FindValue("one"), nullptr);
    EXPECT_EQ(pA->FindValue("one")->strData, Bytes({1, 0, 0, 0}));
    EXPECT_EQ(pA->FindValue("TWO")->strData, Bytes({1, 2, 3}));
}

TEST(HiveFormat, RejectsDamagedFilesWithTheLine) {
    const std::string strHead = "Quillon Registry Hive Version 1\n[HKEY_CURRENT_USER\\K]\n";
    const struct {
        std::string strText;
        int nLine;
    } cases[] = {
        {"Windows Registry Editor Version 5.00\n", 1},
        {"Quillon Registry Hive Version 1\n\"A\"=dword:00000001\n", 2},
        {strHead + "\"A\"=hex:01,0g\n", 3},
        {strHead + "\"A\"=hex:01,2\n", 3},
        {strHead + "\"A\"=hex:01,02", 3},
        {strHead + "\"A\"=\"unterminated\n", 3},
        {strHead + "\"A\"=\"bad \\n escape\"\n", 3},
        {strHead + "\"A\"=qword:1\n", 3},
        {strHead + "\"A\"=hex:01,\\\n", 3},
        {strHead + "[HKEY_LOCAL_MACHINE\\K]\n", 3},
        {strHead + "[HKEY_CURRENT_USER\\K\\\\L]\n", 3},
        {"", 1},
    };
    for (const auto& c : cases) {
        CHiveKey root;
        CHiveParseError error;
        EXPECT_FALSE(ParseHive(c.strText, "HKEY_CURRENT_USER", root, &error)) << c.strText;
        EXPECT_EQ(error.nLine, c.nLine) << c.strText << error.strReason;
        EXPECT_TRUE(root.m_subKeys.empty());
    }
}

std::string Repeat(std::string_view str, std::size_t n) {
    std::string strOut;
    strOut.reserve(str.size() * n);
    for (std::size_t i = 0; i < n; ++i) {
        strOut += str;
    }
    return strOut;
}

// Names count as Windows counts them, in UTF-16 code units: one for "\xC3\xA9" (e with acute),
// two for "\xF0\x9F\x98\x80" (a code point beyond U+FFFF).
TEST(HiveFormat, KeysUpToTheRegistrysLimitsParseAndBeyondAreDamaged) {
    const struct {
        const char* pszLabel;
        std::string strPath; // below the root
        bool bParses;
    } cases[] = {
        {"512 levels", Repeat("\\k", 512), true},
        {"513 levels", Repeat("\\k", 513), false},
        {"255 ASCII characters", "\\" + Repeat("n", 255), true},
        {"256 ASCII characters", "\\" + Repeat("n", 256), false},
        {"255 two-byte characters", "\\" + Repeat("\xC3\xA9", 255), true},
        {"256 two-byte characters", "\\" + Repeat("\xC3\xA9", 256), false},
        {"127 surrogate pairs and one", "\\" + Repeat("\xF0\x9F\x98\x80", 127) + "n", true},
        {"128 surrogate pairs", "\\" + Repeat("\xF0\x9F\x98\x80", 128), false},
    };
    for (const auto& c : cases) {
        const std::string strText =
            "Quillon Registry Hive Version 1\n\n[HKEY_CURRENT_USER" + c.strPath + "]\n";
        CHiveKey root;
        CHiveParseError error;
        EXPECT_EQ(ParseHive(strText, "HKEY_CURRENT_USER", root, &error), c.bParses) << c.pszLabel;
        if (c.bParses) {
            EXPECT_EQ(FormatHive(root, "HKEY_CURRENT_USER"), strText) << c.pszLabel;
        } else {
            EXPECT_EQ(error.nLine, 3) << c.pszLabel;
            EXPECT_TRUE(root.m_subKeys.empty()) << c.pszLabel;
        }
    }
}

// A tree built in memory has no depth limit: writing and freeing it must not take a stack frame,
// or a copy of the path, per level.
TEST(HiveFormat, ADeepTreeIsWrittenAndFreedWithoutRecursion) {
    constexpr std::size_t LEVELS = 200000;
    auto pRoot = std::make_unique<CHiveKey>();
    CHiveKey* pKey = pRoot.get();
    for (std::size_t i = 0; i < LEVELS; ++i) {
        pKey = pKey->AddSubKey("k");
    }
    pKey->SetValue("V", REG_BINARY, "x");
    const std::string strText = FormatHive(*pRoot, "HKEY_CURRENT_USER");
    EXPECT_EQ(strText, "Quillon Registry Hive Version 1\n\n[HKEY_CURRENT_USER" +
                           Repeat("\\k", LEVELS) + "]\n\"V\"=hex:78\n");
    pRoot.reset();
}

// ---- Hive-only calls ------------------------------------------------------------------------

using RegistryCalls = CRegistryTest;

// Where the hive answers otherwise than the system's registry: names and paths its file cannot
// hold, and a root it keeps no file for.
TEST_F(RegistryCalls, HiveRefusesWhatItsFileCannotHold) {
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A\\\\B", 0, KEY_READ, &hKey), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExA(HKEY_PERFORMANCE_DATA, "", 0, KEY_READ, &hKey), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "line\nbreak", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(std::filesystem::exists(HivePath())) << "nothing was written";
}

TEST_F(RegistryCalls, CreateRefusesKeysTheRegistryCouldNotHold) {
    HKEY hDeep = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Repeat("k\\", 500).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hDeep, nullptr),
              ERROR_SUCCESS);
    const struct {
        const char* pszLabel;
        HKEY hBase;
        std::string strSubKey;
        LONG lStatus;
    } cases[] = {
        {"512 levels from the root", HKEY_CURRENT_USER, Repeat("k\\", 512), ERROR_SUCCESS},
        {"513 levels from the root", HKEY_CURRENT_USER, Repeat("k\\", 513),
         ERROR_INVALID_PARAMETER},
        {"12 more below 500", hDeep, Repeat("k\\", 12), ERROR_SUCCESS},
        {"13 more below 500", hDeep, Repeat("j\\", 13), ERROR_INVALID_PARAMETER},
        {"a 255-character name", HKEY_CURRENT_USER, Repeat("n", 255), ERROR_SUCCESS},
        {"a 256-character name", HKEY_CURRENT_USER, "ok\\" + Repeat("n", 256),
         ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        HKEY hKey = nullptr;
        EXPECT_EQ(RegCreateKeyExA(c.hBase, c.strSubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &hKey, nullptr),
                  c.lStatus)
            << c.pszLabel;
        if (hKey != nullptr) {
            RegCloseKey(hKey);
        }
    }
    RegCloseKey(hDeep);
    // Nothing refused was written, and the next start reads the hive as it is.
    CHiveKey tree;
    CHiveParseError error;
    ASSERT_TRUE(ParseHive(HiveText(), "HKEY_CURRENT_USER", tree, &error)) << error.strReason;
    EXPECT_EQ(tree.FindSubKey("ok"), nullptr);
    ForgetRegistryHives();
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Repeat("k\\", 512).c_str(), 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
    EXPECT_FALSE(std::filesystem::exists(HivePath() + ".corrupt-1"));
}

TEST_F(RegistryCalls, BatchIsSavedOnceByTheCallThatEndsIt) {
    const auto Set = [](HKEY hKey, const char* pszName) {
        return RegSetValueExA(hKey, pszName, 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"), 1);
    };
    const auto InFile = [this](const char* pszName) {
        CHiveKey tree;
        return FileValue(tree, "K", pszName) != nullptr;
    };
    HKEY hKey = nullptr;
    HKEY hReader = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &hReader), ERROR_SUCCESS);
    ASSERT_EQ(Set(hKey, "Gone"), ERROR_SUCCESS);
    EXPECT_EQ(RegBeginBatchSave(HKEY_CURRENT_USER), ERROR_INVALID_HANDLE);

    // Recorded, seen by every handle, and not on disk until the flush.
    const std::string strBefore = HiveText();
    ASSERT_EQ(RegBeginBatchSave(hKey), ERROR_SUCCESS);
    EXPECT_EQ(Set(hKey, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(hKey, "gone"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(hKey, "gone"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Set(hKey, "bad\nname"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(hReader, "a", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(hReader, "Gone", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(HiveText(), strBefore);
    EXPECT_EQ(RegFlushKey(hKey), ERROR_SUCCESS);
    EXPECT_TRUE(InFile("A"));
    EXPECT_FALSE(InFile("Gone"));
    // The flush ended the batch: the next change is saved at once.
    EXPECT_EQ(Set(hKey, "B"), ERROR_SUCCESS);
    EXPECT_TRUE(InFile("B"));

    // A save that fails at the end is reported by the close, which still closes the handle.
    ASSERT_EQ(RegBeginBatchSave(hKey), ERROR_SUCCESS);
    EXPECT_EQ(Set(hKey, "C"), ERROR_SUCCESS);
    ASSERT_EQ(chmod(HivePath().c_str(), 0400), 0);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(hReader, "C", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(InFile("C"));
    ASSERT_EQ(chmod(HivePath().c_str(), 0600), 0);

    // So is a key deleted while its batch was open.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "K\\Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &hKey, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegBeginBatchSave(hKey), ERROR_SUCCESS);
    EXPECT_EQ(Set(hKey, "D"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(hReader, "Sub"), ERROR_SUCCESS);
    EXPECT_EQ(RegFlushKey(hKey), ERROR_KEY_DELETED);
    RegCloseKey(hKey);
    RegCloseKey(hReader);
}

// ---- Files ------------------------------------------------------------------------------------

TEST_F(RegistryCalls, HiveLivesPrivatelyUnderTheConfigFolder) {
    EXPECT_EQ(HivePath(), m_dir.Path() + "/quillon/registry/HKEY_CURRENT_USER.reg");
    EXPECT_EQ(RegistryHivePath(HKEY_LOCAL_MACHINE),
              m_dir.Path() + "/quillon/registry/HKEY_LOCAL_MACHINE.reg");
    HKEY hKey = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(hKey);
    struct stat st {};
    ASSERT_EQ(stat((m_dir.Path() + "/quillon/registry").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(stat(HivePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(HiveText(), "Quillon Registry Hive Version 1\n\n[HKEY_CURRENT_USER\\A]\n");

    // Saving the same content again gives the same file.
    const std::string strBefore = HiveText();
    ForgetRegistryHives();
    const BYTE b = 1;
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "V", 0, REG_BINARY, &b, 1), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "v"), ERROR_SUCCESS);
    EXPECT_EQ(HiveText(), strBefore);

    // A relative XDG_CONFIG_HOME is ignored in favour of $HOME/.config.
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(HivePath(),
              std::string(std::getenv("HOME")) + "/.config/quillon/registry/HKEY_CURRENT_USER.reg");
}
