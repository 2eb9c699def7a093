#pragma once
// The outcome of an operation that can fail in a way the user must hear of: success, or a
// one-line message that names what failed and why. Layers above platform/ return it; only the
// application layer prints or shows the message.

#include <string>
#include <utility>

class [[nodiscard]] COutcome {
public:
    COutcome() = default;
    static COutcome Fail(std::string strMessage) {
        COutcome outcome;
        outcome.m_strError = strMessage.empty() ? "failed" : std::move(strMessage);
        return outcome;
    }

    [[nodiscard]] bool Ok() const { return m_strError.empty(); }
    [[nodiscard]] const std::string& Error() const { return m_strError; }

private:
    std::string m_strError;
};
