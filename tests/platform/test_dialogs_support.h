#pragma once
// Shared by the dialog tests: a fixture that fails a test which leaves a top-level window behind
// or a modal request unanswered, and a hook that records every modal request.

#include "platform/Dialog.h"
#include "platform/ModalSeam.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace dialog_tests {

inline int CountTopLevels() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(QApplication::topLevelWidgets().size());
}

struct CWindowFixture : ::testing::Test {
    int m_nTopLevelsBefore = 0;

    void SetUp() override {
        m_nTopLevelsBefore = CountTopLevels();
        ResetQuitMessage();
    }
    void TearDown() override {
        AfxSetMainWnd(nullptr);
        ResetQuitMessage();
        EXPECT_EQ(CountTopLevels(), m_nTopLevelsBefore) << "a window was left behind";
    }
};

// Records each request and answers with m_answer (or declines when it is empty).
struct CRecordingHook {
    std::vector<CModalRequest> m_requests;
    std::optional<CModalAnswer> m_answer = CModalAnswer{IDOK, {}, false};

    ModalHook AsHook() {
        return [this](const CModalRequest& request) {
            m_requests.push_back(request);
            return m_answer;
        };
    }
};

} // namespace dialog_tests
