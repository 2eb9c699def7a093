#include "platform/AtomicFile.h"

#include "platform/AtomicFileFault.h"

#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
HANDLE HandleOf(void* hFile) {
    return static_cast<HANDLE>(hFile);
}

std::size_t LastSeparator(const std::string& strPath) {
    return strPath.find_last_of("\\/");
}

std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = LastSeparator(strPath);
    return nSlash == std::string::npos ? "." : strPath.substr(0, nSlash == 0 ? 1 : nSlash);
}

std::string NameOf(const std::string& strPath) {
    const std::size_t nSlash = LastSeparator(strPath);
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// The file a symbolic link names, for an existing link; any other path as given.
std::string ResolveLinks(const std::string& strPath) {
    const std::wstring strWide = WideFromUtf8(strPath);
    const DWORD dwAttributes = ::GetFileAttributesW(strWide.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES ||
        (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return strPath;
    }
    const HANDLE hFile =
        ::CreateFileW(strWide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return strPath;
    }
    wchar_t szFinal[MAX_PATH * 4];
    const DWORD nChars =
        ::GetFinalPathNameByHandleW(hFile, szFinal, MAX_PATH * 4, FILE_NAME_NORMALIZED);
    ::CloseHandle(hFile);
    if (nChars == 0 || nChars >= MAX_PATH * 4) {
        return strPath;
    }
    std::wstring strFinal(szFinal, nChars);
    if (strFinal.rfind(L"\\\\?\\", 0) == 0) {
        strFinal.erase(0, 4);
    }
    return Utf8FromWide(strFinal.data(), strFinal.size());
}
} // namespace

CAtomicFile::CAtomicFile(std::string strTarget)
    : m_strTarget(std::move(strTarget)), m_strResolved(ResolveLinks(m_strTarget)) {}

CAtomicFile::~CAtomicFile() {
    Discard();
}

COutcome CAtomicFile::Failure(int nErrno) const {
    return COutcome::Fail("cannot write " + m_strTarget + ": " + std::strerror(nErrno));
}

COutcome CAtomicFile::SystemFailure(unsigned long dwError) const {
    return COutcome::Fail("cannot write " + m_strTarget + ": " + DescribeSystemError(dwError));
}

COutcome CAtomicFile::Open() {
    Discard();
    // Others may open the file by name (WritablePath) while this handle holds it.
    const std::string strStem = FolderOf(m_strResolved) + "\\." + NameOf(m_strResolved) + "." +
                                std::to_string(::GetCurrentProcessId()) + "-";
    for (int nTry = 0; nTry < 100; ++nTry) {
        const std::string strName = strStem + std::to_string(nTry) + ".part";
        const HANDLE hFile =
            ::CreateFileW(WideFromUtf8(strName).c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            m_hFile = hFile;
            m_strTemp = strName;
            return {};
        }
        const DWORD dwError = ::GetLastError();
        if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS) {
            return SystemFailure(dwError);
        }
    }
    return SystemFailure(ERROR_FILE_EXISTS);
}

std::string CAtomicFile::WritablePath() const {
    return m_strTemp;
}

COutcome CAtomicFile::Write(std::string_view bytes) {
    if (m_hFile == nullptr) {
        return Failure(EBADF);
    }
    while (!bytes.empty()) {
        std::size_t nChunk = std::min<std::size_t>(bytes.size(), 1U << 30);
        nChunk = AtomicWriteAllowance(nChunk);
        if (nChunk == 0) {
            return Failure(errno);
        }
        DWORD cbWritten = 0;
        if (!::WriteFile(HandleOf(m_hFile), bytes.data(), static_cast<DWORD>(nChunk), &cbWritten,
                         nullptr)) {
            return SystemFailure(::GetLastError());
        }
        if (cbWritten == 0) {
            return Failure(EIO);
        }
        bytes.remove_prefix(cbWritten);
    }
    return {};
}

COutcome CAtomicFile::CheckEnd(std::string_view strEnd) const {
    LARGE_INTEGER liSize;
    if (m_hFile != nullptr && ::GetFileSizeEx(HandleOf(m_hFile), &liSize) &&
        liSize.QuadPart >= static_cast<LONGLONG>(strEnd.size())) {
        std::string strTail(strEnd.size(), '\0');
        OVERLAPPED at{};
        const ULONGLONG nOffset = static_cast<ULONGLONG>(liSize.QuadPart) - strEnd.size();
        at.Offset = static_cast<DWORD>(nOffset);
        at.OffsetHigh = static_cast<DWORD>(nOffset >> 32);
        DWORD cbRead = 0;
        if (::ReadFile(HandleOf(m_hFile), strTail.data(), static_cast<DWORD>(strTail.size()),
                       &cbRead, &at) &&
            cbRead == strTail.size() && strTail == strEnd) {
            return {};
        }
    }
    ULARGE_INTEGER nFree;
    if (::GetDiskFreeSpaceExW(WideFromUtf8(FolderOf(m_strResolved)).c_str(), &nFree, nullptr,
                              nullptr) &&
        nFree.QuadPart == 0) {
        return SystemFailure(ERROR_DISK_FULL);
    }
    return COutcome::Fail("cannot write " + m_strTarget + ": the file was cut short");
}

COutcome CAtomicFile::Commit() {
    if (m_hFile == nullptr) {
        return Failure(EBADF);
    }
    // A write the system deferred (a full disk, a network share) is reported here at the latest.
    if (AtomicFaultFires(EAtomicFault::Sync)) {
        return Failure(errno);
    }
    if (!::FlushFileBuffers(HandleOf(m_hFile))) {
        return SystemFailure(::GetLastError());
    }
    ::CloseHandle(HandleOf(m_hFile));
    m_hFile = nullptr;
    if (AtomicFaultFires(EAtomicFault::Rename)) {
        return Failure(errno);
    }
    const std::wstring strTarget = WideFromUtf8(m_strResolved);
    const std::wstring strTemp = WideFromUtf8(m_strTemp);
    // An existing file keeps its attributes and security; the new bytes take its place whole.
    bool bPlaced = ::GetFileAttributesW(strTarget.c_str()) != INVALID_FILE_ATTRIBUTES &&
                   ::ReplaceFileW(strTarget.c_str(), strTemp.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!bPlaced) {
        bPlaced = ::MoveFileExW(strTemp.c_str(), strTarget.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!bPlaced) {
        return SystemFailure(::GetLastError());
    }
    m_strTemp.clear();
    return {};
}

void CAtomicFile::Discard() {
    if (m_hFile != nullptr) {
        ::CloseHandle(HandleOf(m_hFile));
        m_hFile = nullptr;
    }
    if (!m_strTemp.empty()) {
        ::DeleteFileW(WideFromUtf8(m_strTemp).c_str());
        m_strTemp.clear();
    }
}

COutcome WriteFileAtomically(const std::string& strTarget, std::string_view bytes) {
    CAtomicFile file(strTarget);
    COutcome outcome = file.Open();
    if (outcome.Ok()) {
        outcome = file.Write(bytes);
    }
    if (outcome.Ok()) {
        outcome = file.Commit();
    }
    return outcome;
}
