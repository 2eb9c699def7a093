#pragma once
// CEarlyDay: the start-up file, read on a thread of its own while the toolkit starts and the main
// window is built, so that the window's first paint can show the day instead of waiting for it. The
// thread writes only the array it was given and its own result; the window takes the result once,
// at its first paint (or waits for it then), and until then nothing else may touch that array.
//
// Flow: main (the path, the day's array) -> ReadFieldFile on the thread -> Take() at the first
// paint -> CDayDocument::Adopt, and from there as any day.

#include "data/FieldLoader.h"

#include <future>
#include <span>
#include <string>

class CEarlyDay {
public:
    struct CResult {
        bool bRead = false; // false: the read did not finish (out of memory), read it again
        CFieldRead day;
    };

    CEarlyDay(std::string strPath, std::span<FieldSample> samples);
    ~CEarlyDay(); // waits for the thread: no read outlives the array
    CEarlyDay(const CEarlyDay&) = delete;
    CEarlyDay& operator=(const CEarlyDay&) = delete;

    [[nodiscard]] const std::string& Path() const { return m_strPath; }
    // Whether the result is still there to take.
    [[nodiscard]] bool Pending() const { return m_result.valid(); }
    // Whether the work has ended, so that Take will not wait; false once taken.
    [[nodiscard]] bool Ready() const;
    // Waits for the work to end and returns its result. Once only: Pending() is false afterwards.
    [[nodiscard]] CResult Take();

private:
    std::string m_strPath;
    std::future<CResult> m_result;
};
