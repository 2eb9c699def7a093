#pragma once
// Which file a path names now, and how large and how new it is: enough to tell a file that grew
// from one that was replaced (another file under the same name) or cut short.

#include <cstdint>
#include <string>

struct CFileIdentity {
    bool bExists = false;
    std::uint64_t nDevice = 0; // with nFile, names the file whatever its path
    std::uint64_t nFile = 0;
    std::uint64_t nSize = 0;
    std::int64_t nModified = 0; // nanoseconds since the epoch

    [[nodiscard]] bool SameFile(const CFileIdentity& other) const {
        return bExists && other.bExists && nDevice == other.nDevice && nFile == other.nFile;
    }
};

[[nodiscard]] CFileIdentity IdentityOf(const std::string& strPath);

// The identity of a file already open: what was read is known to come from that file, whatever
// its name names since.
#ifdef _WIN32
[[nodiscard]] CFileIdentity IdentityOfHandle(void* hFile);
#else
[[nodiscard]] CFileIdentity IdentityOfDescriptor(int fd);
#endif
