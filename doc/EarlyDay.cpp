#include "doc/EarlyDay.h"

#include <chrono>
#include <new>
#include <system_error>
#include <utility>

namespace {
CEarlyDay::CResult ReadAndPrepare(const std::string& strPath, std::span<FieldSample> samples) {
    CEarlyDay::CResult result;
    try {
        result.day = ReadFieldFile(strPath, samples);
        result.bRead = true;
    } catch (const std::bad_alloc&) {
        // Out of memory on the way: a read that did not finish is done again by the window.
        result.bRead = false;
    }
    return result;
}
} // namespace

CEarlyDay::CEarlyDay(std::string strPath, std::span<FieldSample> samples)
    : m_strPath(std::move(strPath)) {
    try {
        m_result = std::async(std::launch::async, ReadAndPrepare, m_strPath, samples);
    } catch (const std::system_error&) {
        // No thread to be had: the work is done here and now, as a load always was.
        std::promise<CResult> done;
        done.set_value(ReadAndPrepare(m_strPath, samples));
        m_result = done.get_future();
    }
}

CEarlyDay::~CEarlyDay() {
    if (m_result.valid()) {
        m_result.wait();
    }
}

bool CEarlyDay::Ready() const {
    return m_result.valid() &&
           m_result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

CEarlyDay::CResult CEarlyDay::Take() {
    return m_result.get();
}
