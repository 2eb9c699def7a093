#include "platform/FileDialog.h"

#include "platform/Wnd.h"

#include <QFileDialog>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<CFilterEntry> ParseFilterList(LPCSTR lpszList) {
    std::vector<CFilterEntry> filters;
    if (lpszList == nullptr) {
        return filters;
    }
    const char* p = lpszList;
    while (*p != '\0') {
        const std::string strLabel(p);
        p += strLabel.size() + 1;
        if (*p == '\0') {
            break;
        }
        const std::string strPattern(p);
        p += strPattern.size() + 1;
        filters.push_back({strLabel, strPattern});
    }
    return filters;
}

std::string FilterToListForm(LPCSTR lpszFilter) {
    if (lpszFilter == nullptr || *lpszFilter == '\0') {
        return std::string(2, '\0');
    }
    const std::string strFirst(lpszFilter);
    std::string strList;
    if (strFirst.find('|') != std::string::npos) {
        strList = strFirst;
        for (char& ch : strList) {
            if (ch == '|') {
                ch = '\0';
            }
        }
    } else {
        // The list form: copy up to the empty string that ends it.
        const char* p = lpszFilter;
        while (*p != '\0') {
            p += std::strlen(p) + 1;
        }
        strList.assign(lpszFilter, static_cast<std::size_t>(p - lpszFilter));
    }
    // Exactly one empty string ends the list, whatever the caller wrote after the last pattern.
    while (!strList.empty() && strList.back() == '\0') {
        strList.pop_back();
    }
    strList.append(2, '\0');
    return strList;
}

QStringList QtNameFilters(const std::vector<CFilterEntry>& filters) {
    QStringList names;
    for (const CFilterEntry& entry : filters) {
        QStringList patterns;
        for (const QString& strPattern :
             QString::fromStdString(entry.strPattern).split(u';', Qt::SkipEmptyParts)) {
            patterns << strPattern.trimmed();
        }
        const QString strPatterns = patterns.join(u' ');
        const QString strLabel = QString::fromStdString(entry.strLabel).trimmed();
        if (strLabel.endsWith(QStringLiteral("(") + strPatterns + QStringLiteral(")"))) {
            names << strLabel;
        } else {
            names << strLabel + QStringLiteral(" (") + strPatterns + QStringLiteral(")");
        }
    }
    return names;
}

std::string ResolveChosenPath(const std::string& strName, const std::string& strFolder,
                              const std::string& strDefExt) {
    if (strName.empty()) {
        return {};
    }
    fs::path path(strName);
    if (path.is_relative()) {
        std::error_code ec;
        const fs::path base = strFolder.empty() ? fs::current_path(ec) : fs::path(strFolder);
        path = base / path;
    }
    path = path.lexically_normal();
    if (!strDefExt.empty() && !path.has_extension() && path.has_filename()) {
        fs::path withExt = path;
        withExt += "." + strDefExt;
        std::error_code ec;
        const bool bKeepAsIs = fs::exists(path, ec) && !fs::exists(withExt, ec);
        if (!bKeepAsIs) {
            path = withExt;
        }
    }
    return path.string();
}

void ConfigureFileDialog(QFileDialog& dialog, const CModalRequest& request) {
    if (!request.strTitle.empty()) {
        dialog.setWindowTitle(QString::fromStdString(request.strTitle));
    }
    dialog.setAcceptMode(request.bOpenFileDialog ? QFileDialog::AcceptOpen
                                                 : QFileDialog::AcceptSave);
    dialog.setFileMode(request.bOpenFileDialog && (request.dwFlags & OFN_FILEMUSTEXIST) != 0
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (!request.bOpenFileDialog && (request.dwFlags & OFN_OVERWRITEPROMPT) == 0) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    const QStringList names = QtNameFilters(request.filters);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
    }
    dialog.setDefaultSuffix(QString::fromStdString(request.strDefExt));
    dialog.setDirectory(request.strInitialDir.empty()
                            ? QDir::currentPath()
                            : QString::fromStdString(request.strInitialDir));
    if (!request.strFileName.empty()) {
        dialog.selectFile(QString::fromStdString(request.strFileName));
    }
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strFilter(FilterToListForm(lpszFilter)),
      m_strDefExt(lpszDefExt != nullptr ? lpszDefExt : ""),
      m_strFileName(lpszFileName != nullptr ? lpszFileName : "") {
    m_ofn.hwndOwner = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    m_ofn.lpstrFilter = lpszFilter != nullptr ? m_strFilter.c_str() : nullptr;
    m_ofn.Flags = dwFlags;
    m_ofn.lpstrDefExt = lpszDefExt != nullptr ? m_strDefExt.c_str() : nullptr;
}

CModalRequest CFileDialog::BuildRequest() const {
    CModalRequest request;
    request.eKind = EModalKind::FileDialog;
    request.bOpenFileDialog = m_bOpenFileDialog != FALSE;
    request.strTitle = m_ofn.lpstrTitle != nullptr ? m_ofn.lpstrTitle : "";
    request.dwFlags = m_ofn.Flags;
    request.strFilterList = FilterToListForm(m_ofn.lpstrFilter);
    request.filters = ParseFilterList(request.strFilterList.c_str());
    request.strInitialDir = m_ofn.lpstrInitialDir != nullptr ? m_ofn.lpstrInitialDir : "";
    request.strDefExt = m_ofn.lpstrDefExt != nullptr ? m_ofn.lpstrDefExt : "";
    request.strFileName = m_strFileName;
    request.pOwner = m_ofn.hwndOwner;
    return request;
}

INT_PTR CFileDialog::DoModal() {
    m_strPathName.clear();
    const CModalRequest request = BuildRequest();
    if (const auto answer = AskModalHook(request)) {
        if (answer->nResult != IDOK) {
            return answer->nResult;
        }
        m_strPathName =
            ResolveChosenPath(answer->strPath, request.strInitialDir, request.strDefExt);
        return m_strPathName.empty() ? IDCANCEL : IDOK;
    }
    if (RefuseUnansweredModal(request)) {
        return IDCANCEL;
    }
    QFileDialog dialog(request.pOwner);
    ConfigureFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return IDCANCEL;
    }
    m_strPathName = ResolveChosenPath(dialog.selectedFiles().constFirst().toStdString(),
                                      request.strInitialDir, request.strDefExt);
    return m_strPathName.empty() ? IDCANCEL : IDOK;
}
