#include "platform/SharedFile.h"

#include "platform/FileIdentity.h"

#include "platform/Win32Text.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

namespace {
HANDLE HandleOf(void* hFile) {
    return static_cast<HANDLE>(hFile);
}
} // namespace

CSharedFile::~CSharedFile() {
    Close();
}

void CSharedFile::SetError(int nCode) {
    m_strError = DescribeSystemError(static_cast<DWORD>(nCode));
}

// Deny none: the logger may keep writing, or even replace, the file while it is read.
ESharedOpen CSharedFile::Open(const std::string& strPath) {
    Close();
    const std::wstring strWide = WideFromUtf8(strPath);
    const DWORD dwAttributes = ::GetFileAttributesW(strWide.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        m_strError = "is a folder";
        return ESharedOpen::NotFound;
    }
    const HANDLE hFile = ::CreateFileW(strWide.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        SetError(static_cast<int>(::GetLastError()));
        return ESharedOpen::NotFound;
    }
    // Devices (NUL, CON, a serial port) and pipes never end the way a day's file does.
    if (::GetFileType(hFile) != FILE_TYPE_DISK) {
        m_strError = "not a regular file";
        ::CloseHandle(hFile);
        return ESharedOpen::NotRegular;
    }
    m_hFile = hFile;
    return ESharedOpen::Opened;
}

void CSharedFile::Close() {
    if (m_hFile != nullptr) {
        ::CloseHandle(HandleOf(m_hFile));
        m_hFile = nullptr;
    }
}

bool CSharedFile::Seek(std::uint64_t nOffset) {
    LARGE_INTEGER liOffset;
    liOffset.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!::SetFilePointerEx(HandleOf(m_hFile), liOffset, nullptr, FILE_BEGIN)) {
        SetError(static_cast<int>(::GetLastError()));
        return false;
    }
    return true;
}

std::ptrdiff_t CSharedFile::Read(char* pBuffer, std::size_t nBytes) {
    const DWORD cbWanted = static_cast<DWORD>(std::min<std::size_t>(nBytes, 1U << 30));
    DWORD cbRead = 0;
    if (!::ReadFile(HandleOf(m_hFile), pBuffer, cbWanted, &cbRead, nullptr)) {
        const DWORD dwError = ::GetLastError();
        if (dwError == ERROR_HANDLE_EOF) {
            return 0;
        }
        SetError(static_cast<int>(dwError));
        return -1;
    }
    return static_cast<std::ptrdiff_t>(cbRead);
}

CSharedFile::EData CSharedFile::FindData(std::uint64_t nOffset, std::uint64_t* pnData) {
    const HANDLE hFile = HandleOf(m_hFile);
    LARGE_INTEGER liSize;
    if (::GetFileSizeEx(hFile, &liSize) && static_cast<std::uint64_t>(liSize.QuadPart) > nOffset) {
        FILE_ALLOCATED_RANGE_BUFFER query;
        query.FileOffset.QuadPart = static_cast<LONGLONG>(nOffset);
        query.Length.QuadPart = liSize.QuadPart - static_cast<LONGLONG>(nOffset);
        FILE_ALLOCATED_RANGE_BUFFER first;
        DWORD cbReturned = 0;
        // One range is all a reader needs; ERROR_MORE_DATA only says that more follow.
        const BOOL bOk =
            ::DeviceIoControl(hFile, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, &first,
                              sizeof first, &cbReturned, nullptr);
        if (bOk || ::GetLastError() == ERROR_MORE_DATA) {
            if (cbReturned < sizeof first) {
                return EData::HoleToEnd;
            }
            const std::uint64_t nData =
                std::max(nOffset, static_cast<std::uint64_t>(first.FileOffset.QuadPart));
            if (Seek(nData)) {
                *pnData = nData;
                return EData::Data;
            }
        }
    }
    // Not a sparse-aware file system (or past the end): read on from where the reader is.
    Seek(nOffset);
    return EData::Unknown;
}

CFileIdentity CSharedFile::Identity() const {
    return IdentityOfHandle(m_hFile);
}
