#include "platform/Registry.h"

#include <cstdio>
#include <mutex>

namespace {

// The sink outlives static destructors that may still report, like the registry itself.
struct CReportSink {
    std::mutex mutex;
    RegistryReportSink sink = [](const std::string& strLine) {
        std::fprintf(stderr, "quillon: %s\n", strLine.c_str());
    };
};

CReportSink& ReportSink() {
    static auto* pSink = new CReportSink;
    return *pSink;
}

} // namespace

RegistryReportSink SetRegistryReportSink(RegistryReportSink sink) {
    CReportSink& reportSink = ReportSink();
    std::lock_guard guard(reportSink.mutex);
    std::swap(reportSink.sink, sink);
    return sink;
}

#ifdef _WIN32

LSTATUS RegBeginBatchSave(HKEY /*hKey*/) {
    return ERROR_SUCCESS;
}

std::string DescribeRegistryLocation(HKEY /*hRoot*/) {
    return "the registry";
}

#else

#include "platform/RegistryHive.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ROOT_COUNT = 6;
constexpr int ROOT_PERFORMANCE_DATA = 4;
constexpr std::array<const char*, ROOT_COUNT> ROOT_NAMES = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG"};

constexpr REGSAM WRITE_RIGHTS =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr std::uintptr_t FIRST_HANDLE = 0x1000;
constexpr std::uintptr_t HANDLE_STEP = 4;
constexpr mode_t FOLDER_MODE = 0700;
constexpr mode_t NEW_HIVE_MODE = 0600;
constexpr int MAX_LINK_DEPTH = 40;
constexpr const char* TEMP_SUFFIX = ".tmp";
constexpr const char* LOCK_SUFFIX = ".lock";
constexpr const char* BACKUP_SUFFIX = ".corrupt-";

int RootIndex(HKEY hKey) {
    const std::array<HKEY, ROOT_COUNT> roots = {HKEY_CLASSES_ROOT,     HKEY_CURRENT_USER,
                                                HKEY_LOCAL_MACHINE,    HKEY_USERS,
                                                HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG};
    for (int i = 0; i < ROOT_COUNT; ++i) {
        if (roots[static_cast<std::size_t>(i)] == hKey) {
            return i;
        }
    }
    return -1;
}

LONG ReadError(int nErrno) {
    return (nErrno == EACCES || nErrno == EPERM || nErrno == EISDIR) ? ERROR_ACCESS_DENIED
                                                                     : ERROR_READ_FAULT;
}

LONG WriteError(int nErrno) {
    switch (nErrno) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    default:
        return ERROR_WRITE_FAULT;
    }
}

std::string HomeFolder() {
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && pszHome[0] == '/') {
        return pszHome;
    }
    const passwd* pw = getpwuid(getuid());
    return (pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/') ? pw->pw_dir : "";
}

std::string HiveFilePath(int nRoot) {
    // A relative XDG_CONFIG_HOME is ignored, as the base-directory convention asks.
    const char* pszConfig = std::getenv("XDG_CONFIG_HOME");
    std::string strConfig;
    if (pszConfig != nullptr && pszConfig[0] == '/') {
        strConfig = pszConfig;
    } else {
        const std::string strHome = HomeFolder();
        if (strHome.empty()) {
            return {};
        }
        strConfig = strHome + "/.config";
    }
    return strConfig + "/quillon/registry/" + ROOT_NAMES[static_cast<std::size_t>(nRoot)] + ".reg";
}

std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

// Where the hive's bytes live: the path itself, or the file a chain of symbolic links ends at
// (which need not exist yet). Writing there keeps a linked hive a link.
std::optional<std::string> ResolveLinks(std::string strPath) {
    for (int nDepth = 0; nDepth < MAX_LINK_DEPTH; ++nDepth) {
        struct stat st {};
        if (lstat(strPath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return strPath;
        }
        std::string strTarget(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = readlink(strPath.c_str(), strTarget.data(), strTarget.size());
        if (n < 0) {
            return std::nullopt;
        }
        strTarget.resize(static_cast<std::size_t>(n));
        strPath = strTarget[0] == '/' ? strTarget : FolderOf(strPath) + '/' + strTarget;
    }
    errno = ELOOP;
    return std::nullopt;
}

// Creates the missing folders of strFolder, each private to the user.
bool EnsureFolder(const std::string& strFolder) {
    struct stat st {};
    if (stat(strFolder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return true;
        }
        errno = ENOTDIR;
        return false;
    }
    if (errno != ENOENT || strFolder == "/" || !EnsureFolder(FolderOf(strFolder))) {
        return false;
    }
    if (mkdir(strFolder.c_str(), FOLDER_MODE) != 0) {
        return errno == EEXIST;
    }
    return chmod(strFolder.c_str(), FOLDER_MODE) == 0;
}

// Reads a whole file. Returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& strPath, std::string* pText, struct stat* pStat) {
    const int fd = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int nError = fstat(fd, pStat) == 0 ? 0 : errno;
    pText->clear();
    char buffer[16384];
    while (nError == 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            pText->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            nError = errno;
        }
    }
    close(fd);
    return nError;
}

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t nDone = write(fd, p, n);
        if (nDone < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += nDone;
        n -= static_cast<std::size_t>(nDone);
    }
    return true;
}

void StopForTest(const char* pszPoint) {
    const char* pszStop = std::getenv(REGISTRY_STOP_AT_ENV);
    if (pszStop != nullptr && std::strcmp(pszStop, pszPoint) == 0) {
        std::raise(SIGSTOP);
    }
}

// Writes the text to a temporary file beside strTarget, syncs it and renames it over strTarget,
// so the hive is at every moment either the old file or the new one.
LONG ReplaceFile(const std::string& strTarget, const std::string& strText, mode_t mode) {
    const std::string strTemp = strTarget + TEMP_SUFFIX;
    const int fd = open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NEW_HIVE_MODE);
    if (fd < 0) {
        return WriteError(errno);
    }
    const std::size_t nHalf = strText.size() / 2;
    bool bOk = fchmod(fd, mode) == 0 && WriteAll(fd, strText.data(), nHalf);
    if (bOk) {
        StopForTest("temp-partial");
        bOk = WriteAll(fd, strText.data() + nHalf, strText.size() - nHalf) && fsync(fd) == 0;
    }
    int nError = bOk ? 0 : errno;
    if (close(fd) != 0 && bOk) {
        bOk = false;
        nError = errno;
    }
    if (!bOk) {
        unlink(strTemp.c_str());
        return WriteError(nError);
    }
    StopForTest("temp-complete");
    if (rename(strTemp.c_str(), strTarget.c_str()) != 0) {
        const LONG l = WriteError(errno);
        unlink(strTemp.c_str());
        return l;
    }
    StopForTest("renamed");
    // The rename is durable once the folder is synced too.
    const int fdFolder = open(FolderOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdFolder >= 0) {
        fsync(fdFolder);
        close(fdFolder);
    }
    return ERROR_SUCCESS;
}

// Moves a damaged hive to the first free backup name; an earlier backup is never replaced.
bool SetAsideFile(const std::string& strTarget, std::string* pBackup) {
    for (int n = 1; n < 10000; ++n) {
        *pBackup = strTarget + BACKUP_SUFFIX + std::to_string(n);
        // Both ways refuse an existing name, so no earlier backup can be replaced.
        if (renameat2(AT_FDCWD, strTarget.c_str(), AT_FDCWD, pBackup->c_str(), RENAME_NOREPLACE) ==
            0) {
            return true;
        }
        if (errno == EINVAL || errno == ENOSYS) { // a file system without it
            if (link(strTarget.c_str(), pBackup->c_str()) == 0) {
                return unlink(strTarget.c_str()) == 0;
            }
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// An exclusive lock on the file beside the hive, held by every save and every setting aside.
class CHiveLock {
public:
    CHiveLock() = default;
    CHiveLock(const CHiveLock&) = delete;
    CHiveLock& operator=(const CHiveLock&) = delete;
    ~CHiveLock() {
        if (m_fd >= 0) {
            close(m_fd); // releases the lock
        }
    }

    bool Acquire(const std::string& strTarget) {
        m_fd = open((strTarget + LOCK_SUFFIX).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                    NEW_HIVE_MODE);
        if (m_fd < 0) {
            return false;
        }
        while (flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        return true;
    }

private:
    int m_fd = -1;
};

// What a hive file looked like when it was last read, to notice changes cheaply.
struct CFileStamp {
    bool bExists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t nSize = 0;
    mode_t mode = 0;
    timespec mtim{};
    timespec ctim{};

    static CFileStamp Missing() { return {}; }
    static CFileStamp Of(const struct stat& st) {
        return {true, st.st_dev, st.st_ino, st.st_size, st.st_mode, st.st_mtim, st.st_ctim};
    }
    bool operator==(const CFileStamp& o) const {
        return bExists == o.bExists && dev == o.dev && ino == o.ino && nSize == o.nSize &&
               mode == o.mode && mtim.tv_sec == o.mtim.tv_sec && mtim.tv_nsec == o.mtim.tv_nsec &&
               ctim.tv_sec == o.ctim.tv_sec && ctim.tv_nsec == o.ctim.tv_nsec;
    }
};

// Keeps a line for the report sink until the registry call that found it has finished.
void QueueReport(std::string strLine);

// One root's hive: the tree as the file last held it, and whether it may be written.
class CHive {
public:
    explicit CHive(int nRoot) : m_nRoot(nRoot) {}

    // Brings the tree up to date with the file: a stat, and a read only when the file changed.
    void Refresh() {
        const std::string strPath = HiveFilePath(m_nRoot);
        if (strPath != m_strPath) {
            Reset();
            m_strPath = strPath;
        }
        if (m_strPath.empty()) {
            m_lBlocked = ERROR_PATH_NOT_FOUND;
            return;
        }
        const std::optional<std::string> target = ResolveLinks(m_strPath);
        struct stat st {};
        if (!target || stat(target->c_str(), &st) != 0) {
            if (target && errno == ENOENT) {
                if (!m_bStamped || m_stamp.bExists) {
                    SetEmpty();
                }
                return;
            }
            SetUnreadable(errno);
            return;
        }
        if (m_bStamped && CFileStamp::Of(st) == m_stamp) {
            return;
        }
        Load(*target, false);
    }

    // The status a write gets before anything is tried.
    [[nodiscard]] LONG WriteStatus() const {
        return m_bReadOnly ? ERROR_ACCESS_DENIED : m_lBlocked;
    }

    // Makes one change and saves it: under the lock, re-read the file if it changed, apply the
    // change to what the file holds now, and replace the file. The change's own failure status
    // is returned without writing; a failed save leaves the tree as the file still has it.
    LONG Change(const std::function<LONG(CHiveKey&)>& change) {
        Refresh();
        if (const LONG l = WriteStatus()) {
            return l;
        }
        const std::optional<std::string> target = ResolveLinks(m_strPath);
        if (!target) {
            return ERROR_ACCESS_DENIED;
        }
        if (*target == m_strPath && !EnsureFolder(FolderOf(m_strPath))) {
            return WriteError(errno);
        }
        CHiveLock lock;
        if (!lock.Acquire(*target)) {
            return WriteError(errno);
        }
        // Under the lock no other save is running, so a temporary file is a leftover of a crash.
        unlink((*target + TEMP_SUFFIX).c_str());
        Load(*target, true);
        if (const LONG l = WriteStatus()) {
            return l;
        }
        if (const LONG l = change(m_tree)) {
            return l;
        }
        std::string strText = FormatHive(m_tree, RootName());
        if (m_stamp.bExists && strText == m_strText) {
            return ERROR_SUCCESS;
        }
        const mode_t mode = m_stamp.bExists ? (m_stamp.mode & 07777) : NEW_HIVE_MODE;
        if (const LONG l = ReplaceFile(*target, strText, mode)) {
            RestoreTree();
            return l;
        }
        struct stat st {};
        if (stat(target->c_str(), &st) == 0) {
            m_stamp = CFileStamp::Of(st);
            m_bStamped = true;
        } else {
            m_bStamped = false; // read again next time
        }
        m_strText = std::move(strText);
        return ERROR_SUCCESS;
    }

    CHiveKey m_tree;

private:
    [[nodiscard]] std::string_view RootName() const {
        return ROOT_NAMES[static_cast<std::size_t>(m_nRoot)];
    }

    void Reset() {
        m_tree.Clear();
        m_strText.clear();
        m_stamp = {};
        m_bStamped = false;
        m_bReadOnly = false;
        m_lBlocked = ERROR_SUCCESS;
    }

    void SetEmpty() {
        Reset();
        m_stamp = CFileStamp::Missing();
        m_bStamped = true;
    }

    void SetUnreadable(int nErrno) {
        const bool bWasBlocked = m_lBlocked != ERROR_SUCCESS;
        Reset();
        m_lBlocked = ReadError(nErrno);
        if (!bWasBlocked) {
            QueueReport("cannot read the registry file " + m_strPath + " (" +
                        std::strerror(nErrno) + "); no settings will be saved to it");
        }
    }

    void RestoreTree() {
        CHiveParseError error;
        if (m_strText.empty() || !ParseHive(m_strText, RootName(), m_tree, &error)) {
            m_tree.Clear();
        }
    }

    // Reads the file at strTarget into the tree. A file that does not parse is moved aside
    // under the lock (taken here when bLocked is false), unless it is read-only.
    void Load(const std::string& strTarget, bool bLocked) {
        std::string strText;
        struct stat st {};
        if (const int nError = ReadWholeFile(strTarget, &strText, &st)) {
            if (nError == ENOENT) {
                SetEmpty();
            } else {
                SetUnreadable(nError);
                if (stat(strTarget.c_str(), &st) == 0) {
                    m_stamp = CFileStamp::Of(st);
                    m_bStamped = true;
                }
            }
            return;
        }
        const bool bReadOnly = (st.st_mode & S_IWUSR) == 0;
        CHiveParseError error;
        const bool bSame =
            m_bStamped && m_stamp.bExists && m_lBlocked == ERROR_SUCCESS && strText == m_strText;
        if (!bSame && !strText.empty() && !ParseHive(strText, RootName(), m_tree, &error)) {
            SetAside(strTarget, error, bReadOnly, bLocked);
            return;
        }
        if (strText.empty()) {
            m_tree.Clear(); // an empty file is an empty hive
        }
        m_strText = std::move(strText);
        m_stamp = CFileStamp::Of(st);
        m_bStamped = true;
        m_bReadOnly = bReadOnly;
        m_lBlocked = ERROR_SUCCESS;
    }

    void SetAside(const std::string& strTarget, const CHiveParseError& error, bool bReadOnly,
                  bool bLocked) {
        if (bReadOnly) {
            // A read-only hive is the user's to change: leave it, and keep writes away from it.
            KeepDamaged(strTarget, error, "it is read-only and was left as it is",
                        ERROR_ACCESS_DENIED);
            return;
        }
        if (!bLocked) {
            CHiveLock lock;
            if (!lock.Acquire(strTarget)) {
                const int nError = errno;
                KeepDamaged(strTarget, error, std::strerror(nError), WriteError(nError));
                return;
            }
            Load(strTarget, true); // it may have been replaced meanwhile
            return;
        }
        std::string strBackup;
        if (!SetAsideFile(strTarget, &strBackup)) {
            const int nError = errno;
            KeepDamaged(strTarget, error, std::strerror(nError), WriteError(nError));
            return;
        }
        QueueReport("the registry file " + m_strPath + " is damaged" + Where(error) +
                    "; it was moved to " + strBackup + " and the defaults apply");
        SetEmpty();
    }

    // A damaged hive that stays where it is: reads find nothing, writes fail with lBlock.
    void KeepDamaged(const std::string& strTarget, const CHiveParseError& error,
                     const std::string& strWhy, LONG lBlock) {
        Reset();
        m_lBlocked = lBlock;
        struct stat st {};
        if (stat(strTarget.c_str(), &st) == 0) {
            m_stamp = CFileStamp::Of(st); // not read again until it changes
            m_bStamped = true;
        }
        QueueReport("the registry file " + m_strPath + " is damaged" + Where(error) +
                    " and was not moved aside (" + strWhy +
                    "); the defaults apply and nothing will be saved to it");
    }

    static std::string Where(const CHiveParseError& error) {
        return " (line " + std::to_string(error.nLine) + ": " + error.strReason + ")";
    }

    int m_nRoot;
    std::string m_strPath; // the hive file as configured; it may be a link
    std::string m_strText; // the bytes the tree was read from or written as
    CFileStamp m_stamp;
    bool m_bStamped = false; // m_stamp describes the file as the tree reflects it
    bool m_bReadOnly = false;
    LONG m_lBlocked = ERROR_SUCCESS; // why writes fail, when the file cannot be read
};

// An open key: its root, the names of its path in their stored case, and the rights it holds.
struct COpenKey {
    int nRoot = 0;
    std::vector<std::string> path;
    REGSAM sam = 0;
};

bool SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](const std::string& x, const std::string& y) {
                                                  return FoldName(x) == FoldName(y);
                                              });
}

// A value change made through a handle with an open batch and not saved yet.
struct CPendingValue {
    std::string strName;
    bool bDelete = false;
    DWORD dwType = 0;
    std::string strData;
    std::uint64_t nOrder = 0; // across all batches, so that a read sees the latest change
};

struct CBatch {
    COpenKey key;
    std::vector<CPendingValue> values;
};

class CRegistry {
public:
    std::mutex m_mutex;
    std::vector<std::string> m_reports; // for the sink once the current call has finished

    CHive& Hive(int nRoot) {
        auto& pHive = m_hives[static_cast<std::size_t>(nRoot)];
        if (!pHive) {
            pHive = std::make_unique<CHive>(nRoot);
        }
        return *pHive;
    }

    bool Resolve(HKEY hKey, COpenKey* pKey) const {
        const int nRoot = RootIndex(hKey);
        if (nRoot == ROOT_PERFORMANCE_DATA) {
            return false;
        }
        if (nRoot >= 0) {
            *pKey = {nRoot, {}, KEY_ALL_ACCESS};
            return true;
        }
        const auto it = m_handles.find(HandleNumber(hKey));
        if (it == m_handles.end()) {
            return false;
        }
        *pKey = it->second;
        return true;
    }

    HKEY AddHandle(COpenKey key) {
        const std::uintptr_t nHandle = m_nNextHandle;
        m_nNextHandle += HANDLE_STEP;
        m_handles.emplace(nHandle, std::move(key));
        return reinterpret_cast<HKEY>(nHandle);
    }

    bool CloseHandle(HKEY hKey) {
        m_batches.erase(HandleNumber(hKey));
        return m_handles.erase(HandleNumber(hKey)) > 0;
    }

    void BeginBatch(HKEY hKey, const COpenKey& key) {
        m_batches.try_emplace(HandleNumber(hKey), CBatch{key, {}});
    }

    [[nodiscard]] bool InBatch(HKEY hKey) const {
        return m_batches.find(HandleNumber(hKey)) != m_batches.end();
    }

    // Call only for a handle in a batch.
    void Record(HKEY hKey, CPendingValue value) {
        value.nOrder = m_nNextOrder++;
        m_batches.at(HandleNumber(hKey)).values.push_back(std::move(value));
    }

    // Ends the handle's batch, if it has one.
    std::optional<CBatch> TakeBatch(HKEY hKey) {
        const auto it = m_batches.find(HandleNumber(hKey));
        if (it == m_batches.end()) {
            return std::nullopt;
        }
        CBatch batch = std::move(it->second);
        m_batches.erase(it);
        return batch;
    }

    // The latest unsaved change of a value of that key, made through any handle; nullptr when
    // the file's value stands.
    [[nodiscard]] const CPendingValue* FindPending(const COpenKey& key,
                                                   std::string_view strName) const {
        const CPendingValue* pLatest = nullptr;
        for (const auto& [nHandle, batch] : m_batches) {
            if (batch.key.nRoot != key.nRoot || !SamePath(batch.key.path, key.path)) {
                continue;
            }
            for (const CPendingValue& value : batch.values) {
                if ((pLatest == nullptr || value.nOrder > pLatest->nOrder) &&
                    FoldName(value.strName) == FoldName(strName)) {
                    pLatest = &value;
                }
            }
        }
        return pLatest;
    }

    void Forget() {
        for (auto& pHive : m_hives) {
            pHive.reset();
        }
        m_batches.clear(); // unsaved, as a process that ends without closing its keys
        m_handles.clear(); // handle numbers are not reused, so old handles stay invalid
    }

private:
    static std::uintptr_t HandleNumber(HKEY hKey) { return reinterpret_cast<std::uintptr_t>(hKey); }

    std::array<std::unique_ptr<CHive>, ROOT_COUNT> m_hives;
    std::map<std::uintptr_t, COpenKey> m_handles;
    std::map<std::uintptr_t, CBatch> m_batches; // by handle
    std::uintptr_t m_nNextHandle = FIRST_HANDLE;
    std::uint64_t m_nNextOrder = 0;
};

CRegistry& Registry() {
    static auto* pRegistry = new CRegistry; // outlives static destructors that may still call in
    return *pRegistry;
}

void QueueReport(std::string strLine) {
    Registry().m_reports.push_back(std::move(strLine));
}

// Holds the registry for one call. The reports the call queued go to the sink once the registry
// is free again, so that a sink may call the registry, and none is printed from inside a save.
class CRegistryCall {
public:
    CRegistryCall() : m_reg(Registry()), m_lock(m_reg.m_mutex) {}
    CRegistryCall(const CRegistryCall&) = delete;
    CRegistryCall& operator=(const CRegistryCall&) = delete;
    ~CRegistryCall() {
        std::vector<std::string> reports;
        reports.swap(m_reg.m_reports);
        m_lock.unlock();
        if (reports.empty()) {
            return;
        }
        CReportSink& reportSink = ReportSink();
        RegistryReportSink sink;
        {
            std::lock_guard guard(reportSink.mutex);
            sink = reportSink.sink;
        }
        if (!sink) {
            return;
        }
        for (const std::string& strLine : reports) {
            sink(strLine);
        }
    }

    [[nodiscard]] CRegistry& Reg() const { return m_reg; }

private:
    CRegistry& m_reg;
    std::unique_lock<std::mutex> m_lock;
};

// Splits a sub-key path into names. Null or empty is no names; one trailing backslash is allowed.
LONG SplitKeyPath(LPCSTR pszPath, std::vector<std::string>* pNames) {
    pNames->clear();
    if (pszPath == nullptr || *pszPath == '\0') {
        return ERROR_SUCCESS;
    }
    std::string_view str(pszPath);
    if (str.front() == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    if (str.back() == '\\') {
        str.remove_suffix(1);
    }
    for (;;) {
        const std::size_t nSlash = str.find('\\');
        const std::string_view strName = str.substr(0, nSlash);
        if (strName.empty()) {
            return ERROR_BAD_PATHNAME;
        }
        if (!IsValidKeyName(strName)) {
            return ERROR_INVALID_PARAMETER;
        }
        pNames->emplace_back(strName);
        if (nSlash == std::string_view::npos) {
            return ERROR_SUCCESS;
        }
        str.remove_prefix(nSlash + 1);
    }
}

// The key of an open handle in a tree, or nullptr when it has been deleted.
CHiveKey* FindOpenKey(CHiveKey& tree, const COpenKey& key) {
    return tree.FindPath(key.path);
}

REGSAM GrantedRights(REGSAM samDesired, const CHive& hive) {
    if ((samDesired & MAXIMUM_ALLOWED) != 0) {
        return hive.WriteStatus() == ERROR_SUCCESS ? KEY_ALL_ACCESS : KEY_READ;
    }
    return samDesired;
}

// The open key behind a handle, which must carry samNeeded. Call with the registry locked.
LONG ResolveHandle(CRegistry& reg, HKEY hKey, REGSAM samNeeded, COpenKey* pKey) {
    if (!reg.Resolve(hKey, pKey)) {
        return ERROR_INVALID_HANDLE;
    }
    return (pKey->sam & samNeeded) == samNeeded ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The hive of an open key, brought up to date with its file, and the key in it; the key is null
// (and the result ERROR_KEY_DELETED) when the key has gone meanwhile.
LONG FindLiveKey(CRegistry& reg, const COpenKey& key, CHive** ppHive, CHiveKey** ppKey) {
    CHive& hive = reg.Hive(key.nRoot);
    hive.Refresh();
    *ppHive = &hive;
    *ppKey = FindOpenKey(hive.m_tree, key);
    return *ppKey != nullptr ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// The opening every call on a sub-key path shares: the handle's open key, the path's names, and
// the hive with the handle's key brought up to date. Call with the registry locked.
LONG BeginSubKeyCall(CRegistry& reg, HKEY hKey, LPCSTR lpSubKey, COpenKey* pBase,
                     std::vector<std::string>* pNames, CHive** ppHive, CHiveKey** ppKey) {
    if (const LONG l = ResolveHandle(reg, hKey, 0, pBase)) {
        return l;
    }
    if (const LONG l = SplitKeyPath(lpSubKey, pNames)) {
        return l;
    }
    return FindLiveKey(reg, *pBase, ppHive, ppKey);
}

// A value change through a handle with an open batch: what would make it fail at once still
// does (a deleted key, a hive that may not be written); the rest waits for SaveBatch.
LONG RecordInBatch(CRegistry& reg, HKEY hKey, const COpenKey& key, CPendingValue value) {
    CHive* pHive = nullptr;
    CHiveKey* pKey = nullptr;
    if (const LONG l = FindLiveKey(reg, key, &pHive, &pKey)) {
        return l;
    }
    if (const LONG l = pHive->WriteStatus()) {
        return l;
    }
    reg.Record(hKey, std::move(value));
    return ERROR_SUCCESS;
}

// Ends the handle's batch, saving its changes in the order they were made as one change of the
// file. Without a batch there is nothing to save.
LONG SaveBatch(CRegistry& reg, HKEY hKey) {
    std::optional<CBatch> batch = reg.TakeBatch(hKey);
    if (!batch || batch->values.empty()) {
        return ERROR_SUCCESS;
    }
    return reg.Hive(batch->key.nRoot).Change([&](CHiveKey& tree) {
        CHiveKey* pKey = FindOpenKey(tree, batch->key);
        if (pKey == nullptr) {
            return ERROR_KEY_DELETED;
        }
        for (CPendingValue& value : batch->values) {
            if (value.bDelete) {
                pKey->RemoveValue(value.strName);
            } else {
                pKey->SetValue(value.strName, value.dwType, std::move(value.strData));
            }
        }
        return ERROR_SUCCESS;
    });
}

} // namespace

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/,
                        DWORD dwOptions, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                        LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    if (dwOptions != REG_OPTION_NON_VOLATILE) {
        return ERROR_INVALID_PARAMETER;
    }
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey base;
    std::vector<std::string> names;
    CHive* pHive = nullptr;
    CHiveKey* pBase = nullptr;
    if (const LONG l = BeginSubKeyCall(reg, hKey, lpSubKey, &base, &names, &pHive, &pBase)) {
        return l;
    }
    // A hive file holding a key deeper than the real registry's 512 levels is read as damaged,
    // so none may be created. Windows documents no status of its own for this; it is the one a
    // name that is too long gets.
    if (base.path.size() + names.size() > MAX_KEY_DEPTH) {
        return ERROR_INVALID_PARAMETER;
    }
    CHive& hive = *pHive;
    const REGSAM sam = GrantedRights(samDesired, hive);

    COpenKey opened{base.nRoot, base.path, sam};
    DWORD dwDisposition = REG_OPENED_EXISTING_KEY;
    for (const std::string& strName : names) {
        pBase = pBase != nullptr ? pBase->FindSubKey(strName) : nullptr;
        if (pBase != nullptr) {
            opened.path.push_back(pBase->m_strName);
        }
    }
    if (pBase != nullptr) {
        if ((sam & WRITE_RIGHTS) != 0) {
            if (const LONG l = hive.WriteStatus()) {
                return l;
            }
        }
    } else {
        if ((base.sam & KEY_CREATE_SUB_KEY) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        const LONG l = hive.Change([&](CHiveKey& tree) {
            CHiveKey* pParent = FindOpenKey(tree, base);
            if (pParent == nullptr) {
                return ERROR_KEY_DELETED;
            }
            opened.path = base.path;
            dwDisposition = REG_OPENED_EXISTING_KEY;
            for (const std::string& strName : names) {
                bool bCreated = false;
                pParent = pParent->AddSubKey(strName, &bCreated);
                if (bCreated) {
                    dwDisposition = REG_CREATED_NEW_KEY;
                }
                opened.path.push_back(pParent->m_strName);
            }
            return ERROR_SUCCESS;
        });
        if (l != ERROR_SUCCESS) {
            return l;
        }
    }
    *phkResult = reg.AddHandle(std::move(opened));
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = dwDisposition;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired,
                      PHKEY phkResult) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey base;
    std::vector<std::string> names;
    CHive* pHive = nullptr;
    CHiveKey* pKey = nullptr;
    if (const LONG l = BeginSubKeyCall(reg, hKey, lpSubKey, &base, &names, &pHive, &pKey)) {
        return l;
    }
    CHive& hive = *pHive;
    COpenKey opened{base.nRoot, base.path, GrantedRights(samDesired, hive)};
    for (const std::string& strName : names) {
        pKey = pKey->FindSubKey(strName);
        if (pKey == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        opened.path.push_back(pKey->m_strName);
    }
    if ((opened.sam & WRITE_RIGHTS) != 0) {
        if (const LONG l = hive.WriteStatus()) {
            return l;
        }
    }
    *phkResult = reg.AddHandle(std::move(opened));
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (const LONG l = ResolveHandle(reg, hKey, KEY_QUERY_VALUE, &key)) {
        return l;
    }
    CHive* pHive = nullptr;
    CHiveKey* pKey = nullptr;
    if (const LONG l = FindLiveKey(reg, key, &pHive, &pKey)) {
        return l;
    }
    const std::string_view strName = lpValueName != nullptr ? lpValueName : "";
    DWORD dwType = 0;
    const std::string* pData = nullptr;
    if (const CPendingValue* pPending = reg.FindPending(key, strName)) {
        if (pPending->bDelete) {
            return ERROR_FILE_NOT_FOUND;
        }
        dwType = pPending->dwType;
        pData = &pPending->strData;
    } else if (const CHiveValue* pValue = pKey->FindValue(strName)) {
        dwType = pValue->dwType;
        pData = &pValue->strData;
    } else {
        return ERROR_FILE_NOT_FOUND;
    }
    const auto nSize = static_cast<DWORD>(pData->size());
    if (lpType != nullptr) {
        *lpType = dwType;
    }
    if (lpData != nullptr) {
        if (*lpcbData < nSize) {
            *lpcbData = nSize;
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpData, pData->data(), nSize);
        const bool bText = dwType == REG_SZ || dwType == REG_EXPAND_SZ || dwType == REG_MULTI_SZ;
        if (bText && *lpcbData > nSize && (nSize == 0 || pData->back() != '\0')) {
            lpData[nSize] = 0;
        }
    }
    if (lpcbData != nullptr) {
        *lpcbData = nSize;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                       const BYTE* lpData, DWORD cbData) {
    const std::string strName = lpValueName != nullptr ? lpValueName : "";
    if ((lpData == nullptr && cbData > 0) || !IsValidValueName(strName)) {
        return ERROR_INVALID_PARAMETER;
    }
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (const LONG l = ResolveHandle(reg, hKey, KEY_SET_VALUE, &key)) {
        return l;
    }
    std::string strData(reinterpret_cast<const char*>(lpData), lpData != nullptr ? cbData : 0);
    if (reg.InBatch(hKey)) {
        return RecordInBatch(reg, hKey, key, {strName, false, dwType, std::move(strData)});
    }
    return reg.Hive(key.nRoot).Change([&](CHiveKey& tree) {
        CHiveKey* pKey = FindOpenKey(tree, key);
        if (pKey == nullptr) {
            return ERROR_KEY_DELETED;
        }
        pKey->SetValue(strName, dwType, std::move(strData));
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    const std::string strName = lpValueName != nullptr ? lpValueName : "";
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (const LONG l = ResolveHandle(reg, hKey, KEY_SET_VALUE, &key)) {
        return l;
    }
    CHive* pHive = nullptr;
    CHiveKey* pKey = nullptr;
    if (const LONG l = FindLiveKey(reg, key, &pHive, &pKey)) {
        return l;
    }
    const CPendingValue* pPending = reg.FindPending(key, strName);
    if (pPending != nullptr ? pPending->bDelete : pKey->FindValue(strName) == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (reg.InBatch(hKey)) {
        return RecordInBatch(reg, hKey, key, {strName, true, 0, {}});
    }
    return pHive->Change([&](CHiveKey& tree) {
        CHiveKey* pFound = FindOpenKey(tree, key);
        if (pFound == nullptr) {
            return ERROR_KEY_DELETED;
        }
        return pFound->RemoveValue(strName) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    if (lpSubKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (const LONG l = ResolveHandle(reg, hKey, 0, &key)) {
        return l;
    }
    std::vector<std::string> names;
    if (const LONG l = SplitKeyPath(lpSubKey, &names)) {
        return l;
    }
    std::vector<std::string> path = key.path;
    path.insert(path.end(), names.begin(), names.end());
    if (path.empty()) {
        return ERROR_ACCESS_DENIED; // a root cannot be deleted
    }
    CHive* pHive = nullptr;
    CHiveKey* pOpenKey = nullptr;
    if (const LONG l = FindLiveKey(reg, key, &pHive, &pOpenKey)) {
        return l;
    }
    CHive& hive = *pHive;
    const CHiveKey* pKey = hive.m_tree.FindPath(path);
    if (pKey == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (!pKey->m_subKeys.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string strLast = path.back();
    path.pop_back();
    return hive.Change([&](CHiveKey& tree) {
        CHiveKey* pParent = tree.FindPath(path);
        const CHiveKey* pChild = pParent != nullptr ? pParent->FindSubKey(strLast) : nullptr;
        if (pChild == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (!pChild->m_subKeys.empty()) {
            return ERROR_ACCESS_DENIED;
        }
        pParent->RemoveSubKey(strLast);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegFlushKey(HKEY hKey) {
    // Outside a batch every change was saved by the call that made it.
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (!reg.Resolve(hKey, &key)) {
        return ERROR_INVALID_HANDLE;
    }
    return SaveBatch(reg, hKey);
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (RootIndex(hKey) >= 0) {
        return ERROR_SUCCESS;
    }
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    if (!reg.Resolve(hKey, &key)) {
        return ERROR_INVALID_HANDLE;
    }
    const LONG l = SaveBatch(reg, hKey);
    reg.CloseHandle(hKey);
    return l;
}

LSTATUS RegBeginBatchSave(HKEY hKey) {
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    COpenKey key;
    // A predefined root is never closed, so a batch on it could end only by a flush; ask for an
    // opened key instead.
    if (RootIndex(hKey) >= 0 || !reg.Resolve(hKey, &key)) {
        return ERROR_INVALID_HANDLE;
    }
    reg.BeginBatch(hKey, key);
    return ERROR_SUCCESS;
}

std::string RegistryHivePath(HKEY hRoot) {
    const int nRoot = RootIndex(hRoot);
    return (nRoot < 0 || nRoot == ROOT_PERFORMANCE_DATA) ? std::string() : HiveFilePath(nRoot);
}

std::string DescribeRegistryLocation(HKEY hRoot) {
    const std::string strPath = RegistryHivePath(hRoot);
    return strPath.empty() ? "the registry" : strPath;
}

void ForgetRegistryHives() {
    const CRegistryCall call;
    CRegistry& reg = call.Reg();
    reg.Forget();
}

#endif // _WIN32

std::string DescribeRegistryStatus(LONG lStatus) {
    switch (lStatus) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is invalid.";
    case ERROR_WRITE_FAULT:
        return "The system cannot write to the specified device.";
    case ERROR_READ_FAULT:
        return "The system cannot read from the specified device.";
    case ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    case ERROR_DISK_FULL:
        return "There is not enough space on the disk.";
    case ERROR_KEY_DELETED:
        return "Illegal operation attempted on a registry key that has been marked for deletion.";
    default:
        return "error " + std::to_string(lStatus);
    }
}
