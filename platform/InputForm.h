#pragma once
// A small modal form of labelled text fields with OK and Cancel, for the few values the program
// asks the user to type (a fixed value scale, the alarm levels). It passes the modal seam like
// every other dialog.

#include <optional>
#include <string>
#include <vector>

class QWidget;

struct CInputField {
    std::string strLabel;
    std::string strValue; // the value shown first
};

// The values as typed, one per field, or nothing when the form was cancelled.
[[nodiscard]] std::optional<std::vector<std::string>>
AskInputForm(const std::string& strTitle, const std::string& strPrompt,
             const std::vector<CInputField>& fields, QWidget* pOwner);
