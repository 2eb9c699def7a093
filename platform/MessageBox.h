#pragma once
// AfxMessageBox: the program's message boxes, in the framework's shape, over QMessageBox. The
// title is the application's name; the box has an OK button only; the text is shown exactly as
// given (no markup, no format directives). Without an icon in the type, the box gets the
// warning icon, as the framework gives an application's OK box. Every box passes the modal seam.

#include "platform/WinTypes.h"

#include <memory>
#include <string>

class QMessageBox;
class QWidget;

#ifndef _WIN32
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
#endif

// The application's name, the title of its message boxes.
[[nodiscard]] const char* AfxGetAppName();

// Shows strText and returns IDOK once the user has closed the box (or what the seam answered).
int AfxMessageBox(const std::string& strText, UINT nType = MB_OK);
// The same with the text of string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);

// The box AfxMessageBox runs, ready to be shown: for the real run and for inspection.
[[nodiscard]] std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& strText, UINT nType,
                                                           QWidget* pOwner);
