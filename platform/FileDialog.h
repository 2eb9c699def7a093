#pragma once
// CFileDialog: the Open and Save As dialogs in the framework's shape, over QFileDialog.
//
// The caller fills the constructor's arguments and, if it likes, m_ofn (title, starting folder,
// flags, filter) before DoModal. The filter comes in the framework's form ("label|*.ext||") or
// the common dialog's list form (label NUL pattern NUL ... NUL NUL); either is kept in the list
// form that m_ofn.lpstrFilter points to. DoModal passes the request through the modal seam, then
// runs QFileDialog. The chosen name is made absolute and gets the default extension when it has
// none, and GetPathName returns it. An Open dialog accepts a typed name of a file that does not
// exist unless OFN_FILEMUSTEXIST is set.

#include "platform/ModalSeam.h"
#include "platform/WinTypes.h"

#include <QStringList>

#include <string>
#include <vector>

class CWnd;
class QFileDialog;
class QWidget;

#ifndef _WIN32
constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

// The fields of the common dialog's structure that this program and its stand-in use.
struct OPENFILENAMEA {
    QWidget* hwndOwner = nullptr;
    LPCSTR lpstrFilter = nullptr; // list form; points into the CFileDialog unless replaced
    DWORD nFilterIndex = 1;
    LPCSTR lpstrInitialDir = nullptr; // must stay valid until DoModal returns
    LPCSTR lpstrTitle = nullptr;      // null: the platform's "Open" or "Save As"
    DWORD Flags = 0;
    LPCSTR lpstrDefExt = nullptr; // without the dot
};
#endif

// The entries of a list-form filter. Reading stops at the empty string that ends the list; a
// label without a pattern is dropped.
[[nodiscard]] std::vector<CFilterEntry> ParseFilterList(LPCSTR lpszList);

// Either form as the list form, ending in two NULs (both inside the returned string). The
// framework's form is recognised by a "|" before the first NUL.
[[nodiscard]] std::string FilterToListForm(LPCSTR lpszFilter);

// Filters as QFileDialog takes them ("label (*.a *.b)"); a label that already ends with its
// patterns in parentheses is used as it is.
[[nodiscard]] QStringList QtNameFilters(const std::vector<CFilterEntry>& filters);

// The full path for a name the user typed or picked: taken in strFolder when relative (the
// current folder when strFolder is empty), with "." + strDefExt added when the name has no
// extension, unless the name exists as it is and the name with the extension does not.
[[nodiscard]] std::string ResolveChosenPath(const std::string& strName,
                                            const std::string& strFolder,
                                            const std::string& strDefExt);

// Sets up a QFileDialog for a request, as DoModal runs it.
void ConfigureFileDialog(QFileDialog& dialog, const CModalRequest& request);

class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK with a chosen file, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    [[nodiscard]] std::string GetPathName() const { return m_strPathName; }

    // The request DoModal passes to the seam for the current settings.
    [[nodiscard]] CModalRequest BuildRequest() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    std::string m_strFilter; // list form, owned here
    std::string m_strDefExt;
    std::string m_strFileName;
    std::string m_strPathName;
};
