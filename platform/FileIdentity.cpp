#include "platform/FileIdentity.h"

#ifdef _WIN32
#include <windows.h>

CFileIdentity IdentityOf(const std::string& strPath) {
    const HANDLE hFile =
        CreateFileA(strPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return {};
    }
    const CFileIdentity identity = IdentityOfHandle(hFile);
    CloseHandle(hFile);
    return identity;
}

CFileIdentity IdentityOfHandle(void* hFile) {
    CFileIdentity identity;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(hFile, &info)) {
        identity.bExists = true;
        identity.nDevice = info.dwVolumeSerialNumber;
        identity.nFile = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
        identity.nSize = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
        const std::uint64_t nTicks = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                     info.ftLastWriteTime.dwLowDateTime;
        identity.nModified = static_cast<std::int64_t>(nTicks) * 100; // 100 ns ticks
    }
    return identity;
}

#else
#include <sys/stat.h>

namespace {
CFileIdentity IdentityOfStat(const struct stat& st) {
    CFileIdentity identity;
    identity.bExists = true;
    identity.nDevice = static_cast<std::uint64_t>(st.st_dev);
    identity.nFile = static_cast<std::uint64_t>(st.st_ino);
    identity.nSize = static_cast<std::uint64_t>(st.st_size);
    identity.nModified =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return identity;
}
} // namespace

CFileIdentity IdentityOf(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 ? IdentityOfStat(st) : CFileIdentity{};
}

CFileIdentity IdentityOfDescriptor(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? IdentityOfStat(st) : CFileIdentity{};
}
#endif
