// Fuzzes the data-file reader: whatever the bytes, a read ends, stays inside the caller's array,
// gives a sound summary, and reading a file in two parts (up to the end of the last complete line
// of its first part, then on from there) gives the same records as reading it whole.

#include "data/FieldLoader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr std::size_t CAPACITY = 4096;

// Aborts, naming the line, when a property does not hold.
#define Check(b) CheckAt((b), __LINE__)
void CheckAt(bool b, int nLine) {
    if (!b) {
        std::fprintf(stderr, "fuzz_loader: check at line %d failed\n", nLine);
        std::abort();
    }
}

bool SameRecords(std::span<const FieldSample> a, std::span<const FieldSample> b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool bSameTime = a[i].dTime == b[i].dTime;
        const bool bSameValue =
            a[i].dValue == b[i].dValue || (std::isnan(a[i].dValue) && std::isnan(b[i].dValue));
        if (!bSameTime || !bSameValue) {
            return false;
        }
    }
    return true;
}

void SoundSummary(const CFieldRead& day, std::size_t nSize) {
    Check(day.Opened());
    Check(day.records.size() <= CAPACITY);
    Check(day.nEndOffset <= nSize);
    const CLoadSummary& s = day.summary;
    Check(s.nRecords == static_cast<int>(day.records.size()));
    Check(std::isfinite(s.dScale) && s.dScale >= 1.0 && s.dScale == std::ceil(s.dScale));
    Check(s.dTimeLow <= s.dTimeHigh);
    for (const FieldSample& sample : day.records) {
        Check(std::isfinite(sample.dTime));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    static const int fd = memfd_create("fuzz.vks", 0);
    static const std::string strPath = "/proc/self/fd/" + std::to_string(fd);
    static std::vector<FieldSample> whole(CAPACITY);
    static std::vector<FieldSample> first(CAPACITY);
    static std::vector<FieldSample> rest(CAPACITY);

    auto fill = [&](std::size_t nBytes) {
        Check(ftruncate(fd, 0) == 0);
        Check(pwrite(fd, pData, nBytes, 0) == static_cast<ssize_t>(nBytes));
    };
    fill(nSize);
    const CFieldRead all = ReadFieldFile(strPath, whole);
    SoundSummary(all, nSize);

    // The split point comes from the input itself, so the fuzzer explores it.
    const std::size_t nSplit = nSize > 0 ? pData[0] % (nSize + 1) : 0;
    fill(nSplit);
    const CFieldRead head = ReadFieldFile(strPath, first);
    SoundSummary(head, nSplit);
    fill(nSize);
    const CFieldRead tail = ReadFieldFile(strPath, rest, {head.nEndOffset, head.nNextLine});
    SoundSummary(tail, nSize);

    if (all.records.size() + 1 < CAPACITY && all.strReadError.empty()) {
        // The head's unfinished last line is read again, whole, by the tail.
        Check(head.nCompleteRecords <= head.records.size());
        const auto complete = head.records.first(head.nCompleteRecords);
        std::vector<FieldSample> joined(complete.begin(), complete.end());
        joined.insert(joined.end(), tail.records.begin(), tail.records.end());
        Check(SameRecords(all.records, joined));
    }
    return 0;
}
