#pragma once
// CSharedFile: a file opened for reading while another program may go on writing it, as a
// logger writes its day. The open shares reading, writing and deletion with everyone (deny none),
// never blocks (a FIFO without a writer), and gives a file only when it is a regular one. Reads
// are plain byte reads; text-mode line ends are the reader's business.
//
// SharedFile.cpp does this with POSIX calls, SharedFileWin32.cpp with the Windows file API.

#include "platform/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class ESharedOpen {
    Opened,
    NotFound,   // missing, unreadable, held by another program without sharing, or a folder
    NotRegular, // a device, a pipe, a socket
};

class CSharedFile {
public:
    CSharedFile() = default;
    ~CSharedFile();
    CSharedFile(const CSharedFile&) = delete;
    CSharedFile& operator=(const CSharedFile&) = delete;

    // strPath is UTF-8. On failure Error() says why, in the system's words.
    ESharedOpen Open(const std::string& strPath);
    void Close();

    // Moves the read position to nOffset from the start.
    bool Seek(std::uint64_t nOffset);
    // Reads up to nBytes at the read position: the count read, 0 at the end of the file, -1 on
    // an error.
    std::ptrdiff_t Read(char* pBuffer, std::size_t nBytes);

    // Where the file next holds data at or after nOffset, so that a reader can step over a hole
    // of a sparse file: Data with *pnData set, HoleToEnd when only zeros follow, or Unknown where
    // the file system does not say (the caller then reads on).
    enum class EData { Data, HoleToEnd, Unknown };
    EData FindData(std::uint64_t nOffset, std::uint64_t* pnData);

    // The open file's identity, size and time (not opened: none).
    [[nodiscard]] CFileIdentity Identity() const;

    // The reason of the last failed call.
    [[nodiscard]] const std::string& Error() const { return m_strError; }

private:
    void SetError(int nCode);

#ifdef _WIN32
    void* m_hFile = nullptr; // a HANDLE; null when closed
#else
    int m_fd = -1;
#endif
    std::string m_strError;
};
