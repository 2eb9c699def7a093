// Start-up: the Open dialog and its starting folder for each state of the logging program's key,
// the run from a named or a chosen file to the main window, a start-up file that cannot be opened,
// and the program's command line, including `quillon --export` run as users run it.

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/ViewerApp.h"
#include "platform/FileDialog.h"
#include "tests/ui/test_viewer_support.h"
#include "ui/ChooseDataFile.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace viewer_tests;
using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// Start-up works on the program's globals, so each run begins with them as a new process has them.
struct CStartupTest : CViewerFixture {
    void NewRun() override {
        CViewerFixture::NewRun();
        g_Settings.m_nWindowX = g_Settings.m_nWindowY = 0;
        g_Settings.m_nWindowWidth = g_Settings.m_nWindowHeight = 0;
        g_CmdInfo = CCommandLineInfo{};
    }
    void TearDown() override {
        g_Chart.Detach();
        CViewerFixture::TearDown();
    }
};

std::string CurrentFolder() {
    char sz[4096] = "";
    return ::getcwd(sz, sizeof(sz)) != nullptr ? sz : "";
}

std::string LoggingKey() {
    return std::string(LOGGING_KEY_BASE) + "\\DataSource1";
}

void PutLoggingValue(DWORD dwType, const std::string& strData) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, LoggingKey().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    if (dwType != REG_NONE) {
        EXPECT_EQ(RegSetValueExA(hKey, LOGGING_PATH_VALUE, 0, dwType,
                                 reinterpret_cast<const BYTE*>(strData.data()),
                                 static_cast<DWORD>(strData.size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(hKey);
}

std::string HiveText() {
    return ReadFile(RegistryHivePath(HKEY_CURRENT_USER));
}

} // namespace

// ---- The Open dialog ---------------------------------------------------------------------------

TEST_F(CStartupTest, OpenDialogSettingsAndItsStartingFolderForEachStateOfTheLoggingKey) {
    const std::string strFolder = m_data.Path();
    struct CCase {
        const char* pszState;
        std::function<void()> arrange;
        std::string strExpectedFolder;
    };
    const CCase cases[] = {
        {"key absent", [] {}, CurrentFolder()},
        {"key with the path", [&] { PutLoggingValue(REG_SZ, strFolder + '\0'); }, strFolder},
        {"key without the value", [] { PutLoggingValue(REG_NONE, ""); }, ""},
        {"REG_EXPAND_SZ passed on unexpanded",
         [] { PutLoggingValue(REG_EXPAND_SZ, "%HOME%/vks\0"s); }, "%HOME%/vks"},
        {"value that is not text", [] { PutLoggingValue(REG_DWORD, "\x01\0\0\0"s); }, ""},
        {"value of 256 bytes", [] { PutLoggingValue(REG_SZ, std::string(255, 'a') + '\0'); }, ""},
        {"key only readable",
         [&] {
             PutLoggingValue(REG_SZ, strFolder + '\0');
             ASSERT_EQ(chmod(RegistryHivePath(HKEY_CURRENT_USER).c_str(), 0400), 0);
         },
         CurrentFolder()},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszState);
        const CTempDir config;
        setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
        NewRun();
        c.arrange();
        NewRun();
        const std::string strHiveBefore = HiveText();

        m_script.m_requests.clear();
        m_script.m_fileAnswers = {{IDOK, "monday", false}};
        {
            const CScopedModalHook hook(m_script.AsHook());
            const std::optional<std::string> strChosen = ChooseDataFile();
            // A name typed without an extension, taken in the starting folder.
            const std::string strBase =
                c.strExpectedFolder.empty() ? CurrentFolder() : c.strExpectedFolder;
            EXPECT_EQ(strChosen, (fs::path(strBase) / "monday.vks").string());
        }
        ASSERT_EQ(m_script.m_requests.size(), 1U);
        const CModalRequest& request = m_script.m_requests[0];
        EXPECT_EQ(request.eKind, EModalKind::FileDialog);
        EXPECT_TRUE(request.bOpenFileDialog);
        EXPECT_EQ(request.strTitle, "Open VKS Data File...");
        EXPECT_EQ(request.strFilterList, "VKS-10/20 Data (*.vks)\0*.vks\0\0"s);
        EXPECT_EQ(request.filters,
                  (std::vector<CFilterEntry>{{"VKS-10/20 Data (*.vks)", "*.vks"}}));
        EXPECT_EQ(request.dwFlags, 6U); // no read-only check box; overwrite prompt (no effect)
        EXPECT_EQ(request.strDefExt, "vks");
        EXPECT_EQ(request.strFileName, "");
        EXPECT_EQ(request.pOwner, nullptr);
        EXPECT_EQ(request.strInitialDir, c.strExpectedFolder);
        // The logging program's key is only read.
        EXPECT_EQ(HiveText(), strHiveBefore);
    }
}

// ---- From the command line or the Open dialog to the main window -------------------------------

TEST_F(CStartupTest, FileNamedOnTheCommandLineIsShownWithoutAnOpenDialog) {
    struct CCase {
        const char* pszName;
        bool bExists;
    };
    const CCase cases[] = {
        {"day.vks", true},
        {"50%s of 100%d%n.vks", true},
        {"missing.vks", false},
        {"missing %s%n%%.vks", false},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        NewRun();
        // A placement from an earlier run, which a failed start must leave as it is.
        g_Settings.m_nWindowX = 70;
        g_Settings.m_nWindowY = 80;
        g_Settings.m_nWindowWidth = 500;
        g_Settings.m_nWindowHeight = 300;
        (void)g_Settings.SavePlacement();
        NewRun();
        const std::string strHiveBefore = HiveText();
        const std::string strPath = m_data.File(c.pszName);
        if (c.bExists) {
            WriteDayFile(strPath);
        }
        g_CmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
        g_strDataFile = strPath;
        m_script.m_requests.clear();

        std::string strTitle;
        std::size_t nPoints = 0;
        m_script.m_onViewer = [&](CViewerDlg& viewer) {
            strTitle = viewer.GetWindowText();
            // Moved before the load: a save at any point would show.
            viewer.MoveWindow(100, 90, 450, 320);
            ASSERT_TRUE(WaitForStartupLoad(viewer));
            nPoints = viewer.GetChart()->State().points.size();
            if (c.bExists) {
                viewer.SendClose();
            }
        };
        CViewerApp app;
        {
            const CScopedModalHook hook(m_script.AsHook());
            EXPECT_FALSE(app.InitInstance());
        }
        EXPECT_TRUE(m_script.OfKind(EModalKind::FileDialog).empty());
        EXPECT_EQ(strTitle, strPath);
        EXPECT_EQ(AfxGetMainWnd(), nullptr) << "the main window is gone with the run";
        if (c.bExists) {
            EXPECT_EQ(nPoints, 24U * 60U);
            EXPECT_TRUE(m_script.Messages().empty());
            EXPECT_EQ(app.GetExitCode(), 0);
        } else {
            ASSERT_EQ(m_script.Messages(), std::vector<std::string>{"File not found: " + strPath});
            EXPECT_EQ(m_script.OfKind(EModalKind::MessageBox)[0].dwFlags,
                      static_cast<DWORD>(MB_OK));
            EXPECT_EQ(app.GetExitCode(), 1);
            EXPECT_EQ(HiveText(), strHiveBefore) << "the saved placement changed";
        }
    }
}

TEST_F(CStartupTest, WithoutANamedFileTheOpenDialogChoosesIt) {
    struct CCase {
        const char* pszWhy;
        int nShellCommand;
        const char* pszNamed;
    };
    const CCase cases[] = {
        {"no file named", CCommandLineInfo::FileNew, ""},
        {"a print request for a file", CCommandLineInfo::FilePrint, "/elsewhere/print.vks"},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszWhy);
        NewRun();
        g_CmdInfo.m_nShellCommand = c.nShellCommand;
        g_strDataFile = c.pszNamed;
        const std::string strChosen = DayFile("chosen.vks");
        m_script.m_requests.clear();
        m_script.m_fileAnswers = {{IDOK, strChosen, false}};
        std::string strTitle;
        std::string strLoaded;
        m_script.m_onViewer = [&](CViewerDlg& viewer) {
            strTitle = viewer.GetWindowText();
            ASSERT_TRUE(WaitForStartupLoad(viewer));
            strLoaded = viewer.m_strDataPath;
            viewer.SendCommand(ID_FILE_EXIT);
        };
        CViewerApp app;
        {
            const CScopedModalHook hook(m_script.AsHook());
            EXPECT_FALSE(app.InitInstance());
        }
        const auto asked = m_script.OfKind(EModalKind::FileDialog);
        ASSERT_EQ(asked.size(), 1U);
        EXPECT_EQ(asked[0].strTitle, "Open VKS Data File...");
        // g_CmdInfo reads as if the command line had named the chosen file.
        EXPECT_EQ(g_CmdInfo.m_nShellCommand, CCommandLineInfo::FileOpen);
        EXPECT_EQ(g_strDataFile, strChosen);
        EXPECT_EQ(strTitle, strChosen);
        EXPECT_EQ(strLoaded, strChosen);
        EXPECT_EQ(app.GetExitCode(), 0);
    }
}

TEST_F(CStartupTest, CancelAtStartUpEndsWithoutAWindowOrTheSettingsKey) {
    CViewerApp app;
    {
        const CScopedModalHook hook(m_script.AsHook());
        EXPECT_FALSE(app.InitInstance());
    }
    ASSERT_EQ(m_script.m_requests.size(), 1U);
    EXPECT_EQ(m_script.m_requests[0].eKind, EModalKind::FileDialog);
    EXPECT_EQ(app.GetExitCode(), 0);
    EXPECT_FALSE(KeyExists(SETTINGS_KEY));
    EXPECT_FALSE(fs::exists(RegistryHivePath(HKEY_CURRENT_USER))) << "nothing was written";
}

// ---- The command line --------------------------------------------------------------------------

TEST(CommandLine, OneOptionalFileAndTheModes) {
    struct CCase {
        std::vector<std::string> args;
        ECommandMode eMode;
        std::string strFile;
    };
    const CCase cases[] = {
        {{}, ECommandMode::View, ""},
        {{"day.vks"}, ECommandMode::View, "day.vks"},
        {{"--", "-dash.vks"}, ECommandMode::View, "-dash.vks"},
        {{"-"}, ECommandMode::View, "-"},
        {{"--help"}, ECommandMode::Help, ""},
        {{"--version"}, ECommandMode::Version, ""},
        {{"--info", "day.vks"}, ECommandMode::Info, "day.vks"},
        {{"--export", "out.png", "day.vks"}, ECommandMode::Export, "day.vks"},
        {{"day.vks", "--export", "out.pdf"}, ECommandMode::Export, "day.vks"},
        {{"--bogus"}, ECommandMode::Error, ""},
        {{"one.vks", "two.vks"}, ECommandMode::Error, ""},
        {{"--export"}, ECommandMode::Error, ""},
        {{"--export", "out.png"}, ECommandMode::Error, ""},
        {{"--info"}, ECommandMode::Error, ""},
        {{"--size", "10x10", "day.vks"}, ECommandMode::Error, ""},
    };
    for (const CCase& c : cases) {
        const CCommandLine cmd = ParseCommandLine(c.args);
        std::string strArgs;
        for (const std::string& str : c.args) {
            strArgs += str + " ";
        }
        EXPECT_EQ(cmd.eMode, c.eMode) << strArgs;
        EXPECT_EQ(cmd.strFile, c.strFile) << strArgs;
        EXPECT_EQ(cmd.strError.empty(), c.eMode != ECommandMode::Error) << strArgs;
    }
}

TEST(ExportCommand, FailuresGiveOneLineAndLeaveTheTargetAlone) {
    const CTempDir dir;
    const std::string strProgram = Quoted(ProgramPath());
    const std::string strDay = dir.File("day.vks");
    WriteDayFile(strDay);
    const std::string strKeep = dir.File("keep.png");
    WriteFile(strKeep, "old bytes");
    WriteFile(dir.File("keep.pdf"), "old bytes");
    struct CCase {
        const char* pszWhy;
        std::string strArgs;
        int nExit;
    };
    const CCase cases[] = {
        {"missing data file", "--export " + Quoted(strKeep) + " " + Quoted(dir.File("no.vks")), 1},
        {"missing data file, page",
         "--export " + Quoted(dir.File("keep.pdf")) + " " + Quoted(dir.File("no.vks")), 1},
        {"unknown extension", "--export " + Quoted(dir.File("out.bmp")) + " " + Quoted(strDay), 1},
        {"folder that does not exist",
         "--export " + Quoted(dir.File("none/out.png")) + " " + Quoted(strDay), 1},
        {"folder that does not exist, page",
         "--export " + Quoted(dir.File("none/out.pdf")) + " " + Quoted(strDay), 1},
        {"size not a size", "--size big --export " + Quoted(strKeep) + " " + Quoted(strDay), 1},
        {"size too small", "--size 0x0 --export " + Quoted(strKeep) + " " + Quoted(strDay), 1},
        {"size for a page",
         "--size 800x600 --export " + Quoted(dir.File("keep.pdf")) + " " + Quoted(strDay), 1},
        {"unknown paper",
         "--page A3 --export " + Quoted(dir.File("keep.pdf")) + " " + Quoted(strDay), 1},
        {"unknown option", "--bogus " + Quoted(strDay), 2},
        {"two files", "--export " + Quoted(strKeep) + " " + Quoted(strDay) + " " + Quoted(strDay),
         2},
        {"no output", "--export", 2},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszWhy);
        const CCommandResult result = RunCommand(strProgram + " " + c.strArgs);
        EXPECT_EQ(result.nExit, c.nExit);
        EXPECT_EQ(result.strOut, "");
        EXPECT_EQ(std::count(result.strErr.begin(), result.strErr.end(), '\n'), 1) << result.strErr;
        EXPECT_EQ(result.strErr.rfind("quillon: ", 0), 0U) << result.strErr;
        // Nothing new in the folder, nothing half-written.
        EXPECT_EQ(ReadFile(strKeep), "old bytes");
        EXPECT_EQ(ReadFile(dir.File("keep.pdf")), "old bytes");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
    }
}

TEST(ExportCommand, APipeOrALinkToOneIsNoFileToReplace) {
    const CTempDir dir;
    const std::string strDay = dir.File("day.vks");
    WriteDayFile(strDay);
    ASSERT_EQ(mkfifo(dir.File("pipe.png").c_str(), 0600), 0);
    fs::create_symlink("pipe.png", dir.File("link.pdf"));
    for (const char* pszName : {"pipe.png", "link.pdf"}) {
        SCOPED_TRACE(pszName);
        const std::string strOut = dir.File(pszName);
        const CCommandResult result = RunCommand(Quoted(ProgramPath()) + " --export " +
                                                 Quoted(strOut) + " " + Quoted(strDay));
        EXPECT_EQ(result.nExit, 1);
        EXPECT_EQ(result.strErr, "quillon: not a regular file: " + strOut + "\n");
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe.png")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.pdf")));
}

// A real full file system, where one can be mounted (as root, outside restricted containers).
TEST(ExportCommand, FullFileSystemKeepsTheOldFileAndLeavesNothing) {
    const CTempDir dir;
    const std::string strMount = dir.File("small");
    fs::create_directory(strMount);
    if (RunCommand("mount -t tmpfs -o size=8k tmpfs " + Quoted(strMount)).nExit != 0) {
        GTEST_SKIP() << "cannot mount a small file system here (needs root and mount rights)";
    }
    const std::string strDay = dir.File("day.vks");
    WriteDayFile(strDay);
    for (const char* pszName : {"chart.png", "chart.svg", "page.pdf"}) {
        SCOPED_TRACE(pszName);
        const std::string strOut = strMount + "/" + pszName;
        WriteFile(strOut, "old bytes");
        const CCommandResult result = RunCommand(Quoted(ProgramPath()) + " --export " +
                                                 Quoted(strOut) + " " + Quoted(strDay));
        EXPECT_EQ(result.nExit, 1);
        EXPECT_EQ(result.strErr, "quillon: cannot write " + strOut + ": No space left on device\n");
        EXPECT_EQ(ReadFile(strOut), "old bytes");
        fs::remove(strOut);
        EXPECT_TRUE(fs::is_empty(strMount)) << "something was left beside the target";
    }
    EXPECT_EQ(RunCommand("umount " + Quoted(strMount)).nExit, 0);
}

TEST(ExportCommand, ReadErrorAndNoDisplayAreOneLineAndExitOne) {
    const CTempDir dir;
    const std::string strProgram = Quoted(ProgramPath());
    const CCommandResult read =
        RunCommand(strProgram + " --export " + Quoted(dir.File("x.png")) + " /proc/self/mem");
    EXPECT_EQ(read.nExit, 1);
    EXPECT_EQ(read.strErr, "quillon: Read error: /proc/self/mem: Input/output error\n");
    EXPECT_FALSE(fs::exists(dir.File("x.png")));

    const std::string strDay = dir.File("day.vks");
    WriteDayFile(strDay);
    const CCommandResult view = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                           strProgram + " " + Quoted(strDay));
    EXPECT_EQ(view.nExit, 1);
    EXPECT_EQ(view.strErr, "quillon: no display; use --export to draw without one\n");
}

TEST(ExportCommand, WritesEachKindWhole) {
    const CTempDir dir;
    const std::string strDay = dir.File("day.vks");
    WriteDayFile(strDay);
    struct CCase {
        const char* pszName;
        std::string strMagic;
    };
    const CCase cases[] = {{"day.png", "\x89PNG"}, {"day.svg", "<?xml"}, {"day.pdf", "%PDF-"}};
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        WriteFile(dir.File(c.pszName), "old bytes");
        const CCommandResult result =
            RunCommand(Quoted(ProgramPath()) + " --export " + Quoted(dir.File(c.pszName)) + " " +
                       Quoted(strDay));
        EXPECT_EQ(result.nExit, 0) << result.strErr;
        EXPECT_EQ(result.strErr, "");
        EXPECT_EQ(ReadFile(dir.File(c.pszName)).substr(0, c.strMagic.size()), c.strMagic);
    }
    // The day file and the three outputs, no temporary file left.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 4);
}
