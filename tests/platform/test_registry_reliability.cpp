// The registry stand-in under stress: processes saving at once, a save killed part-way, damaged,
// read-only, unreadable and linked hive files.

#include "settings/ViewerSettings.h"
#include "tests/platform/test_registry_support.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Starts registry_writer with these arguments and the test's environment, plus
// QUILLON_REGISTRY_STOP_AT when given.
pid_t StartWriter(std::vector<std::string> args, const std::string& strStopAt = {}) {
    std::vector<std::string> env;
    for (char** p = environ; *p != nullptr; ++p) {
        if (std::string_view(*p).rfind(REGISTRY_STOP_AT_ENV, 0) != 0) {
            env.emplace_back(*p);
        }
    }
    if (!strStopAt.empty()) {
        env.push_back(std::string(REGISTRY_STOP_AT_ENV) + "=" + strStopAt);
    }
    std::vector<char*> envp;
    for (std::string& str : env) {
        envp.push_back(str.data());
    }
    envp.push_back(nullptr);
    args.insert(args.begin(), REGISTRY_WRITER);
    std::vector<char*> argv;
    for (std::string& str : args) {
        argv.push_back(str.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
    return pid;
}

// Waits for the child to stop or end, at most 45 s (sanitizer builds on a busy machine are
// slow). Returns the wait status, or -1.
int WaitFor(pid_t pid, int nOptions) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    while (std::chrono::steady_clock::now() < deadline) {
        int nStatus = 0;
        if (waitpid(pid, &nStatus, nOptions | WNOHANG) == pid) {
            return nStatus;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

struct CStamp {
    std::string strBytes;
    timespec mtim{};
};

CStamp StampOf(const std::string& strPath) {
    struct stat st {};
    stat(strPath.c_str(), &st);
    return {ReadFile(strPath), st.st_mtim};
}

bool SameStamp(const CStamp& a, const CStamp& b) {
    return a.strBytes == b.strBytes && a.mtim.tv_sec == b.mtim.tv_sec &&
           a.mtim.tv_nsec == b.mtim.tv_nsec;
}

const BYTE ONE = 1;

} // namespace

using RegistryReliability = CRegistryTest;

TEST_F(RegistryReliability, TwoProcessesSavingAtOnceLoseNothing) {
    constexpr int VALUES_EACH = 500;
    const pid_t pidA = StartWriter({"a", std::to_string(VALUES_EACH)});
    const pid_t pidB = StartWriter({"b", std::to_string(VALUES_EACH)});
    EXPECT_EQ(WaitFor(pidA, 0), 0);
    EXPECT_EQ(WaitFor(pidB, 0), 0);

    CHiveKey tree;
    CHiveParseError error;
    ASSERT_TRUE(ParseHive(HiveText(), "HKEY_CURRENT_USER", tree, &error)) << error.strReason;
    const CHiveKey* pKey = tree.FindPath({"Software", "Quillon Test"});
    ASSERT_NE(pKey, nullptr);
    int nPresent = 0;
    for (const char* pszPrefix : {"a", "b"}) {
        for (int i = 0; i < VALUES_EACH; ++i) {
            const CHiveValue* pValue = pKey->FindValue(pszPrefix + std::to_string(i));
            nPresent += pValue != nullptr && pValue->dwType == REG_DWORD &&
                        static_cast<unsigned char>(pValue->strData[0]) == (i & 0xFF);
        }
    }
    EXPECT_EQ(nPresent, 2 * VALUES_EACH);
    std::printf("[ figures  ] 2 x %d values: %d/%d present\n", VALUES_EACH, nPresent,
                2 * VALUES_EACH);
}

TEST_F(RegistryReliability, BatchesFromTwoProcessesNeverMix) {
    constexpr int ROUNDS = 150;
    const char* const NAMES[] = {"Window X", "Window Y", "Window Width", "Window Height"};
    const pid_t pids[] = {StartWriter({"--batch", "1", std::to_string(ROUNDS)}),
                          StartWriter({"--batch", "2", std::to_string(ROUNDS)})};
    // Every state of the file, while the writers run and after, holds one round of one writer.
    int nSeen = 0;
    int nTorn = 0;
    std::string strLastText;
    const auto Look = [&] {
        std::string strText = HiveText();
        CHiveKey tree;
        CHiveParseError error;
        if (strText == strLastText || !ParseHive(strText, "HKEY_CURRENT_USER", tree, &error)) {
            return; // unchanged, or not written yet
        }
        strLastText = std::move(strText);
        const CHiveKey* pKey = tree.FindPath({"Software", "Quillon Test"});
        if (pKey == nullptr || pKey->Values().empty()) {
            return;
        }
        ++nSeen;
        const CHiveValue* pFirst = pKey->FindValue(NAMES[0]);
        for (const char* pszName : NAMES) {
            const CHiveValue* pValue = pKey->FindValue(pszName);
            nTorn += pFirst == nullptr || pValue == nullptr || pValue->strData != pFirst->strData;
        }
    };
    int statuses[] = {-1, -1};
    for (int nRunning = 2; nRunning > 0;) {
        for (int i = 0; i < 2; ++i) {
            const pid_t pidEnded = statuses[i] == -1 ? waitpid(pids[i], &statuses[i], WNOHANG) : 0;
            if (pidEnded != 0) {
                statuses[i] = pidEnded == pids[i] ? statuses[i] : -2;
                --nRunning;
            }
        }
        Look();
    }
    Look();
    EXPECT_EQ(nTorn, 0) << "of " << nSeen << " states seen";
    EXPECT_GT(nSeen, 1);
    EXPECT_EQ(statuses[0], 0);
    EXPECT_EQ(statuses[1], 0);
    // The last round of the writer that finished last is what stays.
    CHiveKey tree;
    const CHiveValue* pLast = FileValue(tree, "Software\\Quillon Test", "Window X");
    ASSERT_NE(pLast, nullptr);
    const auto Bytes = [](std::uint32_t u) {
        return std::string{static_cast<char>(u), static_cast<char>(u >> 8),
                           static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
    };
    EXPECT_TRUE(pLast->strData == Bytes(1000000 + ROUNDS - 1) ||
                pLast->strData == Bytes(2000000 + ROUNDS - 1));
}

TEST_F(RegistryReliability, SaveKilledAtAnyPointLeavesAWholeHive) {
    const struct {
        const char* pszPoint;
        bool bNewVisible; // the hive already holds the writer's first change when it dies
    } cases[] = {{"temp-partial", false}, {"temp-complete", false}, {"renamed", true}};
    const auto HasWritersKey = [] {
        CHiveKey tree;
        return FileValue(tree, "", "Old") != nullptr &&
               tree.FindPath({"Software", "Quillon Test"}) != nullptr;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszPoint);
        fs::remove_all(m_dir.Path() + "/quillon");
        ForgetRegistryHives();
        ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "Old", 0, REG_BINARY, &ONE, 1), ERROR_SUCCESS);
        const std::string strOld = HiveText();

        // The writer's first save creates its key; it stops there and is killed.
        const pid_t pid = StartWriter({"new", "1"}, c.pszPoint);
        const int nStatus = WaitFor(pid, WUNTRACED);
        ASSERT_TRUE(nStatus != -1 && WIFSTOPPED(nStatus)) << "the writer did not reach the point";
        kill(pid, SIGKILL);
        EXPECT_TRUE(WIFSIGNALED(WaitFor(pid, 0)));

        EXPECT_EQ(HasWritersKey(), c.bNewVisible);
        if (!c.bNewVisible) {
            EXPECT_EQ(HiveText(), strOld);
            EXPECT_TRUE(fs::exists(HivePath() + ".tmp")) << "killed while the temporary existed";
        }

        // The next save clears what the killed one left behind.
        ForgetRegistryHives();
        ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "Next", 0, REG_BINARY, &ONE, 1), ERROR_SUCCESS);
        EXPECT_FALSE(fs::exists(HivePath() + ".tmp"));
        CHiveKey tree;
        EXPECT_NE(FileValue(tree, "", "Next"), nullptr);
        EXPECT_EQ(HasWritersKey(), c.bNewVisible);
    }
}

TEST_F(RegistryReliability, DamagedHiveIsKeptAsABackupAndDefaultsApply) {
    const std::string strGood = "Quillon Registry Hive Version 1\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Korvan Corp\\Quillon]\n"
                                "\"Window X\"=hex:2c,01,00,00\n";
    std::string strNested = "Quillon Registry Hive Version 1\n\n[HKEY_CURRENT_USER";
    for (int i = 0; i < 40000; ++i) {
        strNested += "\\a"; // 80 KB of keys nested far beyond the registry's 512 levels
    }
    strNested += "]\n";
    const std::string damaged[] = {
        "Quillon Registry Hive Version 9000\n" + strGood.substr(32),
        "Quillon Registry Hive Version 1\n\"Window X\"=hex:2c,01,00,00\n",
        strGood.substr(0, strGood.size() - 6) + "0g,00\n",
        strGood.substr(0, strGood.size() - 4),
        strNested,
        "Quillon Registry Hive Version 1\n\n[HKEY_CURRENT_USER\\" + std::string(256, 'n') + "]\n",
    };
    fs::create_directories(fs::path(HivePath()).parent_path());
    int nBackup = 0;
    for (const std::string& strDamaged : damaged) {
        SCOPED_TRACE(strDamaged);
        WriteFile(HivePath(), strDamaged);
        ForgetRegistryHives();
        CViewerSettings settings;
        settings.LoadPlacement();
        EXPECT_EQ(settings.m_nWindowX, DEFAULT_WINDOW_X);
        // Each damage gets its own backup; earlier ones are untouched.
        ++nBackup;
        for (int n = 1; n <= nBackup; ++n) {
            const std::string strBackup = HivePath() + ".corrupt-" + std::to_string(n);
            EXPECT_EQ(ReadFile(strBackup), damaged[n - 1]) << strBackup;
        }
        EXPECT_FALSE(fs::exists(HivePath() + ".corrupt-" + std::to_string(nBackup + 1)));
        // The load created the settings key in a fresh hive.
        EXPECT_EQ(HiveText(), "Quillon Registry Hive Version 1\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Korvan Corp\\Quillon]\n");
    }
}

TEST_F(RegistryReliability, ReportsGoToTheSinkOrElseToStandardError) {
    const std::string strLine = "the registry file " + HivePath() +
                                " is damaged (line 2: a value before any key); it was moved to " +
                                HivePath() + ".corrupt-1 and the defaults apply";
    std::vector<std::string> lines;
    // A sink may call the registry: it runs once the call that reported has finished.
    const RegistryReportSink collect = [&](const std::string& str) {
        lines.push_back(str);
        EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "A", nullptr, nullptr, nullptr, nullptr),
                  ERROR_FILE_NOT_FOUND);
    };
    const struct {
        std::optional<RegistryReportSink> sink; // none installed: the default
        std::string strStderr;
        std::vector<std::string> lines;
    } cases[] = {
        {std::nullopt, "quillon: " + strLine + "\n", {}},
        {collect, "", {strLine}},
        {RegistryReportSink(), "", {}},
    };
    fs::create_directories(fs::path(HivePath()).parent_path());
    for (const auto& c : cases) {
        lines.clear();
        fs::remove(HivePath() + ".corrupt-1");
        WriteFile(HivePath(), "Quillon Registry Hive Version 1\n\"A\"=dword:1\n");
        ForgetRegistryHives();
        const RegistryReportSink previous = c.sink ? SetRegistryReportSink(*c.sink) : nullptr;
        testing::internal::CaptureStderr();
        EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "A", nullptr, nullptr, nullptr, nullptr),
                  ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.strStderr);
        if (c.sink) {
            SetRegistryReportSink(previous);
        }
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(RegistryReliability, ReadOnlyHiveIsReadButNeverWritten) {
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "Kept", 0, REG_BINARY, &ONE, 1), ERROR_SUCCESS);
    HKEY hEarlier = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &hEarlier), ERROR_SUCCESS);
    ASSERT_EQ(chmod(HivePath().c_str(), 0400), 0);
    const CStamp before = StampOf(HivePath());

    HKEY hKey = nullptr;
    for (const REGSAM sam : {KEY_ALL_ACCESS, KEY_WRITE, KEY_SET_VALUE}) {
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, sam, &hKey), ERROR_ACCESS_DENIED);
        EXPECT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, sam, nullptr, &hKey, nullptr),
            ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(RegSetValueExA(hEarlier, "Kept", 0, REG_BINARY, &ONE, 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(hEarlier, "Kept"), ERROR_ACCESS_DENIED);
    CViewerSettings placement;
    placement.m_nWindowX = 5;
    (void)placement.SavePlacement();
    EXPECT_TRUE(SameStamp(StampOf(HivePath()), before));

    for (const REGSAM sam : {KEY_READ, KEY_QUERY_VALUE}) {
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, sam, &hKey), ERROR_SUCCESS);
        EXPECT_EQ(RegQueryValueExA(hKey, "Kept", nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }
    RegCloseKey(hEarlier);
}

TEST_F(RegistryReliability, UnreadableHiveFailsEveryWriteAndIsLeftAlone) {
    // A folder where the file should be reads with an error, whoever runs the test.
    fs::create_directories(HivePath());
    WriteFile(HivePath() + "/inside", "x");
    CViewerSettings settings;
    settings.LoadPlacement();
    EXPECT_EQ(settings.m_nWindowWidth, DEFAULT_WINDOW_WIDTH);
    (void)settings.SavePlacement();
    HKEY hKey = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "V", 0, REG_BINARY, &ONE, 1), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(fs::is_directory(HivePath()));
    EXPECT_EQ(ReadFile(HivePath() + "/inside"), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(HivePath()).parent_path()),
                            fs::directory_iterator()),
              1);
}

TEST_F(RegistryReliability, LinkedHiveStaysALinkAndItsTargetIsUpdated) {
    const std::string strTarget = m_dir.File("elsewhere.reg");
    WriteFile(strTarget, "Quillon Registry Hive Version 1\n");
    fs::create_directories(fs::path(HivePath()).parent_path());
    fs::create_symlink("../../elsewhere.reg", HivePath());

    CViewerSettings placement;
    placement.m_nWindowX = -1200;
    (void)placement.SavePlacement();
    EXPECT_TRUE(fs::is_symlink(HivePath()));
    EXPECT_NE(ReadFile(strTarget).find("\"Window X\"=hex:50,fb,ff,ff\n"), std::string::npos);
    ForgetRegistryHives();
    CViewerSettings settings;
    settings.LoadPlacement();
    EXPECT_EQ(settings.m_nWindowX, -1200);
}
