#include "platform/SharedFile.h"

#include "platform/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CSharedFile::~CSharedFile() {
    Close();
}

void CSharedFile::SetError(int nCode) {
    m_strError = std::strerror(nCode);
}

// POSIX opens never lock others out: the logger may keep writing the file meanwhile. O_NONBLOCK
// keeps a FIFO without a writer from blocking the open; only regular files are read.
ESharedOpen CSharedFile::Open(const std::string& strPath) {
    Close();
    int fd = -1;
    do {
        fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        SetError(errno);
        return ESharedOpen::NotFound;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_strError = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
        ::close(fd);
        return S_ISDIR(st.st_mode) ? ESharedOpen::NotFound : ESharedOpen::NotRegular;
    }
    m_fd = fd;
    return ESharedOpen::Opened;
}

void CSharedFile::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CSharedFile::Seek(std::uint64_t nOffset) {
    if (::lseek(m_fd, static_cast<off_t>(nOffset), SEEK_SET) < 0) {
        SetError(errno);
        return false;
    }
    return true;
}

std::ptrdiff_t CSharedFile::Read(char* pBuffer, std::size_t nBytes) {
    ssize_t nRead = 0;
    do {
        nRead = ::read(m_fd, pBuffer, nBytes);
    } while (nRead < 0 && errno == EINTR);
    if (nRead < 0) {
        SetError(errno);
    }
    return nRead;
}

CSharedFile::EData CSharedFile::FindData(std::uint64_t nOffset, std::uint64_t* pnData) {
#ifdef SEEK_DATA
    const off_t nData = ::lseek(m_fd, static_cast<off_t>(nOffset), SEEK_DATA);
    if (nData < 0 && errno == ENXIO) {
        return EData::HoleToEnd;
    }
    if (nData >= 0) {
        *pnData = static_cast<std::uint64_t>(nData);
        return EData::Data;
    }
#endif
    // No holes to find here: the read position must be where it was asked to be.
    ::lseek(m_fd, static_cast<off_t>(nOffset), SEEK_SET);
    return EData::Unknown;
}

CFileIdentity CSharedFile::Identity() const {
    return IdentityOfDescriptor(m_fd);
}
