#include "platform/AtomicFile.h"

#include "platform/AtomicFileFault.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) {
        return ".";
    }
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

std::string NameOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// The file a chain of symlinks ends at, even when it does not exist yet (a dangling link names
// the file to create). Links are followed a bounded number of times.
std::string ResolveLinks(std::string strPath) {
    for (int nHops = 0; nHops < 40; ++nHops) {
        char szTarget[PATH_MAX];
        const ssize_t n = ::readlink(strPath.c_str(), szTarget, sizeof(szTarget) - 1);
        if (n < 0) {
            return strPath;
        }
        const std::string strTarget(szTarget, static_cast<std::size_t>(n));
        strPath = !strTarget.empty() && strTarget[0] == '/' ? strTarget
                                                            : FolderOf(strPath) + "/" + strTarget;
    }
    return strPath;
}

mode_t NewFileMode() {
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    return 0666 & ~nMask;
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

COutcome CAtomicFile::Open() {
    Discard();
    const std::string strFolder = FolderOf(m_strResolved);
#ifdef O_TMPFILE
    m_fd = ::open(strFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    m_bUnnamed = m_fd >= 0;
#endif
    if (m_fd < 0) {
        // No unnamed files here (or not on this file system): a hidden name beside the target.
        std::string strTemplate = strFolder + "/." + NameOf(m_strResolved) + ".XXXXXX.part";
        m_fd = ::mkostemps(strTemplate.data(), 5, O_CLOEXEC);
        if (m_fd < 0) {
            return Failure(errno);
        }
        m_strTemp = strTemplate;
    }
    return {};
}

std::string CAtomicFile::WritablePath() const {
    return m_bUnnamed ? "/proc/self/fd/" + std::to_string(m_fd) : m_strTemp;
}

COutcome CAtomicFile::Write(std::string_view bytes) {
    if (m_fd < 0) {
        return Failure(EBADF);
    }
    while (!bytes.empty()) {
        std::size_t nChunk = bytes.size();
        nChunk = AtomicWriteAllowance(nChunk);
        if (nChunk == 0) {
            return Failure(errno);
        }
        const ssize_t n = ::write(m_fd, bytes.data(), nChunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Failure(n < 0 ? errno : EIO);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

COutcome CAtomicFile::CheckEnd(std::string_view strEnd) const {
    struct stat st {};
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && st.st_size >= static_cast<off_t>(strEnd.size())) {
        std::string strTail(strEnd.size(), '\0');
        const ssize_t n = ::pread(m_fd, strTail.data(), strTail.size(),
                                  st.st_size - static_cast<off_t>(strEnd.size()));
        if (n == static_cast<ssize_t>(strEnd.size()) && strTail == strEnd) {
            return {};
        }
    }
    struct statvfs fs {};
    if (m_fd >= 0 && ::fstatvfs(m_fd, &fs) == 0 && fs.f_bavail == 0) {
        return Failure(ENOSPC);
    }
    return COutcome::Fail("cannot write " + m_strTarget + ": the file was cut short");
}

COutcome CAtomicFile::Commit() {
    if (m_fd < 0) {
        return Failure(EBADF);
    }
    // An existing file keeps its permissions; a new one gets what any new file would.
    struct stat st {};
    const bool bExists = ::stat(m_strResolved.c_str(), &st) == 0;
    if (bExists && !S_ISREG(st.st_mode)) {
        // The rename would put a regular file in place of a device, a pipe or a folder.
        return COutcome::Fail("not a regular file: " + m_strTarget);
    }
    if (::fchmod(m_fd, bExists ? (st.st_mode & 07777) : NewFileMode()) != 0) {
        return Failure(errno);
    }
    if (bExists) {
        (void)::fchown(m_fd, st.st_uid, st.st_gid); // only root may give a file away
    }
    // A write the kernel deferred (a full disk, a network share) is reported here at the latest.
    if (AtomicFaultFires(EAtomicFault::Sync) || ::fsync(m_fd) != 0) {
        return Failure(errno);
    }
    if (m_bUnnamed) {
        // Give the unnamed file a hidden name for the instant before the rename.
        std::string strTemplate = FolderOf(m_strResolved) + "/." + NameOf(m_strResolved) + ".";
        for (int nTry = 0; nTry < 100 && m_strTemp.empty(); ++nTry) {
            const std::string strName =
                strTemplate + std::to_string(::getpid()) + "-" + std::to_string(nTry) + ".part";
            if (::linkat(AT_FDCWD, WritablePath().c_str(), AT_FDCWD, strName.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                m_strTemp = strName;
            } else if (errno != EEXIST) {
                return Failure(errno);
            }
        }
        if (m_strTemp.empty()) {
            return Failure(EEXIST);
        }
    }
    if (AtomicFaultFires(EAtomicFault::Rename) ||
        ::rename(m_strTemp.c_str(), m_strResolved.c_str()) != 0) {
        return Failure(errno);
    }
    m_strTemp.clear();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        return Failure(errno); // the bytes are synced and in place; report it all the same
    }
    // The rename itself reaches the disk with its folder.
    const int fdFolder =
        ::open(FolderOf(m_strResolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdFolder >= 0) {
        (void)::fsync(fdFolder);
        ::close(fdFolder);
    }
    return {};
}

void CAtomicFile::Discard() {
    if (!m_strTemp.empty()) {
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_bUnnamed = false;
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
