#pragma once
// CAtomicFile: writes a file whole or not at all. The new bytes go to an unnamed file in the
// target's folder (a hidden named one where the file system offers none); every write, the sync
// and the close are checked, and only then does the file take the target's name, in one rename.
// A symlink is followed to the file it names, and an existing file keeps its permissions; a name
// that is taken by anything but a regular file (a device, a pipe) is refused and left alone. On any
// failure the target keeps its old bytes and nothing is left beside it; a process killed part-way
// leaves nothing either, since an unnamed file goes with the process.
//
// On Windows (AtomicFileWin32.cpp) the new file is a named one beside the target (Windows has no
// unnamed files, so a killed process leaves it behind), flushed, and put in the target's place by
// ReplaceFileW, which keeps the old file's attributes and security, or by MoveFileExW for a new
// target.
//
// Writers that want a file name (a PDF printer) write through WritablePath().

#include "platform/Outcome.h"

#include <cstddef>
#include <string>
#include <string_view>

class CAtomicFile {
public:
    explicit CAtomicFile(std::string strTarget);
    ~CAtomicFile(); // an uncommitted file is discarded
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the new, empty file beside the target.
    COutcome Open();
    // A path that opens the new file for writing.
    [[nodiscard]] std::string WritablePath() const;
    // Appends bytes; a short or failed write is an error.
    COutcome Write(std::string_view bytes);
    // For writers that do not report their write errors: the file as written so far by anyone must
    // end with strEnd, the last thing they write. A file cut short by a full file system says so.
    [[nodiscard]] COutcome CheckEnd(std::string_view strEnd) const;
    // Syncs the file, gives it the target's permissions and its name.
    COutcome Commit();
    // Removes the new file; the target is untouched.
    void Discard();

private:
    [[nodiscard]] COutcome Failure(int nErrno) const;

    std::string m_strTarget;   // as given, for messages
    std::string m_strResolved; // the file a symlink names, or the target itself
    std::string m_strTemp;     // the named temporary, when the unnamed file was not available
#ifdef _WIN32
    [[nodiscard]] COutcome SystemFailure(unsigned long dwError) const;
    void* m_hFile = nullptr; // a HANDLE; null when closed
#else
    int m_fd = -1;
    bool m_bUnnamed = false;
#endif
};

// Writes bytes to strTarget whole or not at all.
COutcome WriteFileAtomically(const std::string& strTarget, std::string_view bytes);

// For tests: makes the next write, sync or rename of an atomic file fail with nErrno, after
// nBytesBefore more bytes have been written. 0 for nErrno turns the fault off.
enum class EAtomicFault { Write, Sync, Rename };
void InjectAtomicFileFault(EAtomicFault eAt, int nErrno, std::size_t nBytesBefore = 0);
