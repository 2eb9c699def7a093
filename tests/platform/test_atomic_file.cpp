// Writing a file whole or not at all: every failure leaves the old bytes and nothing beside them;
// links are followed and permissions kept.

#include "platform/AtomicFile.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
std::size_t EntriesIn(const std::string& strFolder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(strFolder), fs::directory_iterator()));
}

} // namespace

TEST(AtomicFile, EveryFailureKeepsTheOldBytesAndLeavesNothing) {
    const std::string strBig(300000, 'n');
    struct {
        const char* pszCase;
        EAtomicFault eAt;
        int nErrno;
        std::size_t nAfter;
        const char* pszReason;
    } cases[] = {
        {"a full disk at once", EAtomicFault::Write, ENOSPC, 0, "No space left on device"},
        {"a full disk part-way", EAtomicFault::Write, ENOSPC, 70000, "No space left on device"},
        {"a deferred write error", EAtomicFault::Sync, EIO, 0, "Input/output error"},
        {"the rename", EAtomicFault::Rename, EXDEV, 0, "Invalid cross-device link"},
    };
    for (const auto& c : cases) {
        CTempDir dir;
        const std::string strTarget = dir.File("page.pdf");
        WriteFile(strTarget, "old bytes");
        InjectAtomicFileFault(c.eAt, c.nErrno, c.nAfter);
        const COutcome outcome = WriteFileAtomically(strTarget, strBig);
        InjectAtomicFileFault(c.eAt, 0);
        EXPECT_FALSE(outcome.Ok()) << c.pszCase;
        EXPECT_EQ(outcome.Error(), "cannot write " + strTarget + ": " + c.pszReason) << c.pszCase;
        EXPECT_EQ(ReadFile(strTarget), "old bytes") << c.pszCase;
        EXPECT_EQ(EntriesIn(dir.Path()), 1u) << c.pszCase;
    }
}

TEST(AtomicFile, ReplacesAFileOrMakesANewOneAndLeavesNothingElse) {
    CTempDir dir;
    const std::string strTarget = dir.File("page.pdf");
    for (const char* pszBytes : {"first", "second, longer"}) {
        ASSERT_TRUE(WriteFileAtomically(strTarget, pszBytes).Ok()) << pszBytes;
        EXPECT_EQ(ReadFile(strTarget), pszBytes);
        EXPECT_EQ(EntriesIn(dir.Path()), 1u) << pszBytes;
    }
    // A writer that wants a name writes through it; only the commit gives it the target's.
    CAtomicFile file(strTarget);
    ASSERT_TRUE(file.Open().Ok());
    WriteFile(file.WritablePath(), "third%%EOF");
    EXPECT_TRUE(file.CheckEnd("%%EOF").Ok());
    EXPECT_EQ(ReadFile(strTarget), "second, longer");
    ASSERT_TRUE(file.Commit().Ok());
    EXPECT_EQ(ReadFile(strTarget), "third%%EOF");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

#ifndef _WIN32
namespace {
mode_t ModeOf(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}
} // namespace

TEST(AtomicFile, FollowsLinksAndKeepsPermissions) {
    CTempDir dir;
    // An existing private file stays private; a new file gets what any new file gets.
    const std::string strPrivate = dir.File("private.png");
    WriteFile(strPrivate, "old");
    ::chmod(strPrivate.c_str(), 0600);
    ASSERT_TRUE(WriteFileAtomically(strPrivate, "new").Ok());
    EXPECT_EQ(ReadFile(strPrivate), "new");
    EXPECT_EQ(ModeOf(strPrivate), 0600u);
    const mode_t nMask = ::umask(022);
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.png"), "x").Ok());
    ::umask(nMask);
    EXPECT_EQ(ModeOf(dir.File("fresh.png")), 0644u);

    // A link stays a link and its target gets the bytes, even when the target is yet to exist.
    fs::create_directory(dir.File("real"));
    fs::create_symlink("real/chart.svg", dir.File("link.svg"));
    for (const char* pszBytes : {"<svg/>", "<svg></svg>"}) {
        ASSERT_TRUE(WriteFileAtomically(dir.File("link.svg"), pszBytes).Ok());
        EXPECT_TRUE(fs::is_symlink(dir.File("link.svg")));
        EXPECT_EQ(ReadFile(dir.File("real/chart.svg")), pszBytes);
    }
    EXPECT_EQ(EntriesIn(dir.File("real")), 1u);

    // A name taken by a pipe, or a link to one, is not a file to replace.
    ASSERT_EQ(::mkfifo(dir.File("pipe.png").c_str(), 0600), 0);
    fs::create_symlink("pipe.png", dir.File("pipe-link.png"));
    for (const char* pszName : {"pipe.png", "pipe-link.png"}) {
        EXPECT_EQ(WriteFileAtomically(dir.File(pszName), "x").Error(),
                  "not a regular file: " + dir.File(pszName));
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe.png")));
    EXPECT_TRUE(fs::is_symlink(dir.File("pipe-link.png")));
    EXPECT_EQ(EntriesIn(dir.Path()), 6u) << "nothing left beside them";

    // A folder that does not exist is named in the message.
    const COutcome missing = WriteFileAtomically(dir.File("none/x.png"), "x");
    EXPECT_EQ(missing.Error(),
              "cannot write " + dir.File("none/x.png") + ": No such file or directory");
}
#endif
