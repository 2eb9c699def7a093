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
