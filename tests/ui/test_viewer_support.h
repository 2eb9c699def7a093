#pragma once
// Shared by the main-window, start-up and printing tests.
//
// CViewerFixture gives every test a fresh run: its own XDG_CONFIG_HOME (a real hive file), what
// start-up hands the main window (a chart wrapper, the settings, the day's array, the start-up
// file), no quit request and no main window, and a check that no top-level window is left behind.
// CModalScript answers every modal request the program makes and records it; the main window's own
// modal run is handed to a scenario that drives the window while it is on screen.
// CRecordedViewerDlg is the main window with a recorder in front of the chart, placed by its data
// exchange, so the set-up writes are seen too.

#include "chart/Strip.h"
#include "chart/StripChart.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/ModalSeam.h"
#include "platform/Registry.h"
#include "res/Resource.h"
#include "settings/ViewerSettings.h"
#include "tests/TestSupport.h"
#include "ui/ViewerDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace viewer_tests {

using testing_support::CRecordingChart;
using testing_support::CTempDir;

inline int CountTopLevels() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(QApplication::topLevelWidgets().size());
}

// A day of readings, one a minute: a slow wave with one spike, so a drawn trace spans the plot.
inline void WriteDayFile(const std::string& strPath, double dSpike = 9.5) {
    std::string str;
    for (int nMinute = 0; nMinute < 24 * 60; ++nMinute) {
        char sz[64];
        const double dValue =
            nMinute == 700 ? dSpike : 2.0 * std::sin(nMinute * 2.0 * M_PI / (24 * 60));
        std::snprintf(sz, sizeof(sz), "%02d:%02d:00,%.3f\n", nMinute / 60, nMinute % 60, dValue);
        str += sz;
    }
    testing_support::WriteFile(strPath, str);
}

// Answers every modal request and records it. The main window's run goes to m_onViewer (the
// window is built, set up and shown); its answer ends the run unless the scenario ended it. Open
// and Print dialogs and print previews take their answers from the queues (Cancel when empty);
// message boxes and the About box are answered with OK.
class CModalScript {
public:
    std::vector<CModalRequest> m_requests;
    std::function<void(CViewerDlg&)> m_onViewer;
    std::function<void(const CModalRequest&)> m_onMessage; // as each message box comes up
    std::deque<CModalAnswer> m_fileAnswers;
    std::deque<CModalAnswer> m_printAnswers;
    std::deque<CModalAnswer> m_inputAnswers;
    std::deque<CModalAnswer> m_previewAnswers;
    int m_nViewerRuns = 0;

    ModalHook AsHook() {
        return [this](const CModalRequest& request) -> std::optional<CModalAnswer> {
            m_requests.push_back(request);
            switch (request.eKind) {
            case EModalKind::FileDialog:
                return Next(m_fileAnswers);
            case EModalKind::PrintDialog:
                return Next(m_printAnswers);
            case EModalKind::Input:
                return Next(m_inputAnswers);
            case EModalKind::PrintPreview:
                return Next(m_previewAnswers);
            case EModalKind::MessageBox:
                if (m_onMessage) {
                    m_onMessage(request);
                }
                return CModalAnswer{IDOK, {}, false};
            case EModalKind::Dialog:
                break;
            }
            auto* pViewer = dynamic_cast<CViewerDlg*>(request.pDialog);
            if (request.nTemplateId != IDD_VIEWER_DIALOG || pViewer == nullptr) {
                return CModalAnswer{IDOK, {}, false};
            }
            ++m_nViewerRuns;
            if (m_onViewer) {
                m_onViewer(*pViewer);
            }
            // A quit request (the failed start-up load) ends the run as it ends the real loop.
            return PeekQuitMessage() ? CModalAnswer{IDCANCEL, {}, true}
                                     : CModalAnswer{IDCANCEL, {}, false};
        };
    }

    [[nodiscard]] std::vector<CModalRequest> OfKind(EModalKind eKind) const {
        std::vector<CModalRequest> found;
        for (const CModalRequest& request : m_requests) {
            if (request.eKind == eKind) {
                found.push_back(request);
            }
        }
        return found;
    }
    [[nodiscard]] std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const CModalRequest& request : OfKind(EModalKind::MessageBox)) {
            texts.push_back(request.strText);
        }
        return texts;
    }

private:
    static CModalAnswer Next(std::deque<CModalAnswer>& answers) {
        if (answers.empty()) {
            return CModalAnswer{IDCANCEL, {}, false};
        }
        CModalAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Lets the window reach the screen and run its start-up load (queued after the first paint),
// then delivers what the load posted (the quit request after a failed load).
inline bool WaitForStartupLoad(CViewerDlg& dlg) {
    const bool bDone = QTest::qWaitFor([&dlg] { return dlg.m_bFirstPaintDone != FALSE; }, 5000);
    QCoreApplication::processEvents();
    return bDone;
}

// Waits for the start-up load; true when it loaded the file (no quit request followed).
inline bool LoadedAtStartup(CViewerDlg& dlg) {
    return WaitForStartupLoad(dlg) && !PeekQuitMessage() && dlg.GetChart() != nullptr &&
           !dlg.GetChart()->State().points.empty();
}

// The main window with a recorder between its chart wrapper and the chart. The recorder goes in
// front at every data exchange and is taken out before the window goes, so the wrapper never
// outlives the chart. m_pTap keeps the calls of the last run.
class CRecordedViewerDlg : public CViewerDlg {
public:
    explicit CRecordedViewerDlg(const CViewerContext& context)
        : CViewerDlg(context), m_strip(context.chart) {}
    std::unique_ptr<CRecordingChart> m_pTap;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CViewerDlg::DoDataExchange(pDX);
        IChartDispatch* pChart = m_strip.GetTarget();
        if (pChart == nullptr) {
            return;
        }
        if (!m_pTap || m_pTapped != pChart) {
            m_pTap = std::make_unique<CRecordingChart>(pChart);
            m_pTapped = pChart;
        }
        m_strip.Attach(m_pTap.get());
    }
    void OnDestroy() override {
        if (m_pTap && m_strip.GetTarget() == m_pTap.get()) {
            m_strip.Attach(m_pTapped);
        }
        m_pTapped = nullptr;
        CViewerDlg::OnDestroy();
    }

private:
    CStrip& m_strip;
    IChartDispatch* m_pTapped = nullptr;
};

// A recorder in front of whatever strip is bound to, for the scope: used where the main window
// is not ours to subclass (start-up builds its own).
class CChartTap {
public:
    explicit CChartTap(CStrip& strip)
        : m_strip(strip), m_pBound(strip.GetTarget()), m_tap(m_pBound) {
        m_strip.Attach(&m_tap);
    }
    ~CChartTap() {
        if (m_strip.GetTarget() == &m_tap) {
            m_strip.Attach(m_pBound);
        }
    }
    CChartTap(const CChartTap&) = delete;
    CChartTap& operator=(const CChartTap&) = delete;
    [[nodiscard]] const std::vector<testing_support::CChartCall>& Calls() const {
        return m_tap.m_calls;
    }

private:
    CStrip& m_strip;
    IChartDispatch* m_pBound;
    CRecordingChart m_tap;
};

// The chart's state as a user would see it change: colours, labels and the caption.
inline std::string DescribeChart(const CChartState& state) {
    std::ostringstream out;
    out << std::hex << "trace " << state.crTrace << " back " << state.crBack << " axes "
        << state.crAxes << " text " << state.crText << " grid " << state.crGrid << std::dec
        << " shown " << state.nShownLabels << " selected " << state.nSelectedLabel;
    for (const CChartLabel& label : state.labels) {
        out << " | '" << label.strText << "' " << std::hex << label.crColour << std::dec << " at "
            << label.dX << "," << label.dY;
    }
    return out.str();
}

// A value of the saved placement as the hive holds it: type and bytes.
struct CStoredValue {
    DWORD dwType = REG_NONE;
    std::string strData;
};

inline std::optional<CStoredValue> ReadStoredValue(const char* pszKey, const char* pszName) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    CStoredValue value;
    BYTE buffer[512];
    DWORD cb = sizeof(buffer);
    const LONG l = RegQueryValueExA(hKey, pszName, nullptr, &value.dwType, buffer, &cb);
    RegCloseKey(hKey);
    if (l != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.strData.assign(reinterpret_cast<const char*>(buffer), cb);
    return value;
}

inline bool KeyExists(const char* pszKey) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(hKey);
    return true;
}

// The program as users run it, built with the tests.
inline std::string ProgramPath() {
#ifdef QUILLON_PROGRAM
    return QUILLON_PROGRAM;
#else
    return testing_support::BinaryDir() + "/quillon";
#endif
}

// Runs a shell command; its exit status, with stdout and stderr captured in files beside it.
struct CCommandResult {
    int nExit = -1;
    std::string strOut;
    std::string strErr;
};

inline std::string Quoted(const std::string& str) {
    std::string strQuoted = "'";
    for (const char c : str) {
        strQuoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return strQuoted + "'";
}

inline CCommandResult RunCommand(const std::string& strCommand) {
    const CTempDir dir;
    const std::string strOut = dir.File("out");
    const std::string strErr = dir.File("err");
    const int nStatus =
        std::system(("(" + strCommand + ") >" + Quoted(strOut) + " 2>" + Quoted(strErr)).c_str());
    CCommandResult result;
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    result.strOut = testing_support::ReadFile(strOut);
    result.strErr = testing_support::ReadFile(strErr);
    return result;
}

struct CViewerFixture : ::testing::Test {
    CTempDir m_config;
    CTempDir m_data;
    CModalScript m_script;
    // What start-up hands the main window.
    CStrip m_chart;
    CViewerSettings m_settings;
    std::vector<FieldSample> m_samples = std::vector<FieldSample>(MAX_FIELD_SAMPLES);
    std::string m_strStartFile;
    std::vector<std::string> m_reports; // what the window reported
    std::string m_strOldConfig;
    int m_nTopLevelsBefore = 0;

    void SetUp() override {
        const char* pszOld = std::getenv("XDG_CONFIG_HOME");
        m_strOldConfig = pszOld != nullptr ? pszOld : "";
        setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
        NewRun();
        m_nTopLevelsBefore = CountTopLevels();
    }
    void TearDown() override {
        m_chart.Detach();
        AfxSetMainWnd(nullptr);
        ResetQuitMessage();
        EXPECT_EQ(CountTopLevels(), m_nTopLevelsBefore) << "a window was left behind";
        ForgetRegistryHives();
        setenv("XDG_CONFIG_HOME", m_strOldConfig.c_str(), 1);
    }

    // What a new process starts with: nothing of the registry in memory, fresh settings.
    virtual void NewRun() {
        ForgetRegistryHives();
        m_settings.m_nWindowX = m_settings.m_nWindowY = 0;
        m_settings.m_nWindowWidth = m_settings.m_nWindowHeight = 0;
        ResetQuitMessage();
        AfxSetMainWnd(nullptr);
    }

    [[nodiscard]] CViewerContext Context() {
        return {m_chart, m_settings, m_samples, m_strStartFile,
                [this](const std::string& strLine) { m_reports.push_back(strLine); }};
    }

    // Runs dlg as start-up runs it, with the script answering; the run's result.
    INT_PTR RunViewer(CViewerDlg& dlg, std::function<void(CViewerDlg&)> onViewer) {
        m_script.m_onViewer = std::move(onViewer);
        const int nRunsBefore = m_script.m_nViewerRuns;
        const CScopedModalHook hook(m_script.AsHook());
        AfxSetMainWnd(&dlg);
        const INT_PTR nResult = dlg.DoModal();
        AfxSetMainWnd(nullptr);
        EXPECT_EQ(m_script.m_nViewerRuns, nRunsBefore + 1) << "the main window did not run";
        return nResult;
    }

    [[nodiscard]] std::string DayFile(const std::string& strName = "day.vks") const {
        const std::string strPath = m_data.File(strName);
        WriteDayFile(strPath);
        return strPath;
    }
};

} // namespace viewer_tests
