// Message boxes, the file dialog and the modal seam they pass.

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "tests/TestSupport.h"
#include "tests/platform/test_dialogs_support.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>

#include <filesystem>

using namespace dialog_tests;
using testing_support::CTempDir;
using testing_support::WriteFile;

namespace {

// The filter as the program writes it: the common dialog's list form.
constexpr char VKS_FILTER[] = "VKS-10/20 Data (*.vks)\0*.vks\0\0";
const std::string VKS_FILTER_BYTES(VKS_FILTER, sizeof(VKS_FILTER) - 1);

struct CSeamTest : CWindowFixture {
    CRecordingHook hook;
};

// ---- message boxes ----

TEST_F(CSeamTest, MessageBoxRequestCarriesTextTitleAndType) {
    CScopedModalHook scoped(hook.AsHook());
    EXPECT_EQ(AfxMessageBox("File not found: C:\\data\\100%s <b>day</b>.vks"), IDOK);
    EXPECT_EQ(AfxMessageBox(IDS_OLE_INIT_FAILED, MB_OK), IDOK);

    ASSERT_EQ(hook.m_requests.size(), 2U);
    const CModalRequest& first = hook.m_requests[0];
    EXPECT_EQ(first.eKind, EModalKind::MessageBox);
    EXPECT_EQ(first.strTitle, "Quillon");
    EXPECT_EQ(first.strText, "File not found: C:\\data\\100%s <b>day</b>.vks");
    EXPECT_EQ(first.dwFlags, MB_OK);
    EXPECT_EQ(hook.m_requests[1].strText,
              "OLE initialization failed.  Make sure that the OLE libraries are the correct "
              "version.");
}

TEST_F(CSeamTest, MessageBoxShowsTextAsGivenWithOkOnly) {
    struct CCase {
        UINT nType;
        QMessageBox::Icon eIcon;
    };
    const CCase cases[] = {
        {MB_OK, QMessageBox::Warning}, // the framework's icon for a plain OK box
        {MB_ICONINFORMATION, QMessageBox::Information},
        {MB_ICONERROR, QMessageBox::Critical},
        {MB_ICONWARNING, QMessageBox::Warning},
    };
    const std::string strText = "50% done <i>not italic</i> &amp; %s";
    for (const CCase& c : cases) {
        const auto pBox = BuildMessageBox(strText, c.nType, nullptr);
        EXPECT_EQ(pBox->icon(), c.eIcon) << c.nType;
        EXPECT_EQ(pBox->textFormat(), Qt::PlainText);
        EXPECT_EQ(pBox->text().toStdString(), strText);
        EXPECT_EQ(pBox->windowTitle(), QStringLiteral("Quillon"));
        ASSERT_EQ(pBox->buttons().size(), 1);
        EXPECT_EQ(pBox->standardButton(pBox->buttons().constFirst()), QMessageBox::Ok);
    }
}

TEST_F(CSeamTest, UnansweredRequestsOnOffscreenReturnAtOnce) {
    // No hook: nothing may block. The box counts as acknowledged, the dialog as cancelled.
    EXPECT_EQ(AfxMessageBox("nobody reads this"), IDOK);
    CFileDialog dlg(TRUE, "vks", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, VKS_FILTER);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.GetPathName().empty());

    // A hook that declines is the same as none.
    hook.m_answer.reset();
    CScopedModalHook scoped(hook.AsHook());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(hook.m_requests.size(), 1U);
}

TEST_F(CSeamTest, ScopedHookRestoresThePreviousOne) {
    CRecordingHook outer;
    CScopedModalHook scopedOuter(outer.AsHook());
    {
        CScopedModalHook scopedInner(hook.AsHook());
        (void)AfxMessageBox("inner");
    }
    (void)AfxMessageBox("outer");
    ASSERT_EQ(hook.m_requests.size(), 1U);
    ASSERT_EQ(outer.m_requests.size(), 1U);
    EXPECT_EQ(outer.m_requests[0].strText, "outer");
}

// ---- the Open dialog ----

TEST_F(CSeamTest, OpenDialogRequestDescribesTheDialog) {
    CTempDir dir;
    hook.m_answer = CModalAnswer{IDOK, "day", false};
    CScopedModalHook scoped(hook.AsHook());

    CFileDialog dlg(TRUE, "vks", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, VKS_FILTER);
    dlg.m_ofn.lpstrTitle = "Open VKS Data File...";
    dlg.m_ofn.lpstrInitialDir = dir.Path().c_str();
    ASSERT_EQ(dlg.DoModal(), IDOK);

    ASSERT_EQ(hook.m_requests.size(), 1U);
    const CModalRequest& request = hook.m_requests[0];
    EXPECT_EQ(request.eKind, EModalKind::FileDialog);
    EXPECT_TRUE(request.bOpenFileDialog);
    EXPECT_EQ(request.strTitle, "Open VKS Data File...");
    EXPECT_EQ(request.dwFlags, 6U);
    EXPECT_EQ(request.strFilterList, VKS_FILTER_BYTES);
    EXPECT_EQ(request.filters, (std::vector<CFilterEntry>{{"VKS-10/20 Data (*.vks)", "*.vks"}}));
    EXPECT_EQ(request.strInitialDir, dir.Path());
    EXPECT_EQ(request.strDefExt, "vks");
    EXPECT_EQ(request.pOwner, nullptr);
    // A typed name without extension, taken in the starting folder, gets the default one.
    EXPECT_EQ(dlg.GetPathName(), dir.File("day.vks"));
}

TEST_F(CSeamTest, CancelLeavesNoPath) {
    hook.m_answer = CModalAnswer{IDCANCEL, "ignored.vks", false};
    CScopedModalHook scoped(hook.AsHook());
    CFileDialog dlg(TRUE, "vks", nullptr, 6, VKS_FILTER);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.GetPathName().empty());
}

TEST_F(CSeamTest, FilterReplacedThroughOfnIsTheOneUsed) {
    CScopedModalHook scoped(hook.AsHook());
    CFileDialog dlg(TRUE, nullptr, nullptr, 0, "Text (*.txt)|*.txt||");
    dlg.m_ofn.lpstrFilter = VKS_FILTER;
    (void)dlg.DoModal();
    ASSERT_EQ(hook.m_requests.size(), 1U);
    EXPECT_EQ(hook.m_requests[0].strFilterList, VKS_FILTER_BYTES);
}

TEST(FileDialogFilter, BothFormsGiveTheSameList) {
    struct CCase {
        std::string strFilter; // as passed, NULs included
        std::vector<CFilterEntry> expected;
    };
    const std::vector<CCase> cases = {
        {VKS_FILTER_BYTES, {{"VKS-10/20 Data (*.vks)", "*.vks"}}},
        {"VKS-10/20 Data (*.vks)|*.vks||", {{"VKS-10/20 Data (*.vks)", "*.vks"}}},
        {"VKS-10/20 Data (*.vks)|*.vks", {{"VKS-10/20 Data (*.vks)", "*.vks"}}},
        {"Data|*.vks;*.txt|All files|*.*||", {{"Data", "*.vks;*.txt"}, {"All files", "*.*"}}},
        {std::string("A\0*.a\0B\0*.b\0\0", 13), {{"A", "*.a"}, {"B", "*.b"}}},
        {std::string("Label only\0\0", 12), {}},
        {std::string("\0\0", 2), {}},
    };
    for (const CCase& c : cases) {
        const std::string strList = FilterToListForm(c.strFilter.c_str());
        EXPECT_EQ(ParseFilterList(strList.c_str()), c.expected) << c.strFilter;
        ASSERT_GE(strList.size(), 2U);
        EXPECT_EQ(strList.substr(strList.size() - 2), std::string(2, '\0'));
        EXPECT_EQ(strList.find('|'), std::string::npos);
    }
    EXPECT_TRUE(ParseFilterList(nullptr).empty());
}

TEST(FileDialogFilter, QtNameFiltersKeepPatternsOnce) {
    EXPECT_EQ(QtNameFilters({{"VKS-10/20 Data (*.vks)", "*.vks"}}),
              QStringList{QStringLiteral("VKS-10/20 Data (*.vks)")});
    EXPECT_EQ(QtNameFilters({{"Data files", "*.vks;*.txt"}}),
              QStringList{QStringLiteral("Data files (*.vks *.txt)")});
}

TEST(FileDialogPath, DefaultExtensionAndFolder) {
    CTempDir dir;
    WriteFile(dir.File("README"), "x");
    WriteFile(dir.File("both"), "x");
    WriteFile(dir.File("both.vks"), "x");
    struct CCase {
        std::string strName;
        std::string strExpected;
    };
    const std::vector<CCase> cases = {
        {"day", dir.File("day.vks")},            // typed without extension
        {"day.vks", dir.File("day.vks")},        // typed with it
        {"day.txt", dir.File("day.txt")},        // another extension stays
        {"README", dir.File("README")},          // an existing file without extension
        {"both", dir.File("both.vks")},          // both exist: the data file
        {"sub/../night", dir.File("night.vks")}, // normalised
        {dir.File("abs"), dir.File("abs.vks")},  // absolute: the folder does not matter
        {"", ""},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(ResolveChosenPath(c.strName, dir.Path(), "vks"), c.strExpected) << c.strName;
    }
    EXPECT_EQ(ResolveChosenPath("day", dir.Path(), ""), dir.File("day"));
    // No starting folder: the current one.
    EXPECT_EQ(ResolveChosenPath("day", "", "vks"),
              (std::filesystem::current_path() / "day.vks").string());
}

TEST_F(CSeamTest, QtDialogIsSetUpFromTheRequest) {
    CTempDir dir;
    CFileDialog open(TRUE, "vks", nullptr, 6, VKS_FILTER);
    open.m_ofn.lpstrTitle = "Open VKS Data File...";
    open.m_ofn.lpstrInitialDir = dir.Path().c_str();
    QFileDialog qtOpen;
    ConfigureFileDialog(qtOpen, open.BuildRequest());
    EXPECT_EQ(qtOpen.windowTitle(), QStringLiteral("Open VKS Data File..."));
    EXPECT_EQ(qtOpen.acceptMode(), QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist is accepted.
    EXPECT_EQ(qtOpen.fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(qtOpen.nameFilters(), QStringList{QStringLiteral("VKS-10/20 Data (*.vks)")});
    EXPECT_EQ(qtOpen.defaultSuffix(), QStringLiteral("vks"));
    EXPECT_EQ(qtOpen.directory().absolutePath().toStdString(), dir.Path());

    CFileDialog mustExist(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, nullptr);
    QFileDialog qtMustExist;
    ConfigureFileDialog(qtMustExist, mustExist.BuildRequest());
    EXPECT_EQ(qtMustExist.fileMode(), QFileDialog::ExistingFile);

    CFileDialog save(FALSE, nullptr, nullptr, 0, nullptr);
    QFileDialog qtSave;
    ConfigureFileDialog(qtSave, save.BuildRequest());
    EXPECT_EQ(qtSave.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(qtSave.testOption(QFileDialog::DontConfirmOverwrite));
}

} // namespace
