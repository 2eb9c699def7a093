#pragma once
// The seam every modal request passes before a real dialog runs: message boxes, the Open and
// Print dialogs, and dialogs from templates such as the About box.
//
// A request describes what would be shown. An installed hook sees it first and may answer it;
// then no dialog runs and no event loop is entered. Without a hook (or when the hook declines
// by returning nothing) the real Qt dialog runs modally, except on the offscreen platform, where
// no one could answer it: there the request is refused at once with a message on stderr, so a
// test that forgot its hook fails instead of hanging.
//
// For a template dialog the window exists, is initialised and shown when the hook runs, so the
// hook can look at it and drive it (keys, clicks). If the dialog was ended meanwhile, its end
// code is the result; otherwise the hook's answer is, unless it asks for the real modal loop.

#include "platform/WinTypes.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDialog;
class QWidget;

enum class EModalKind {
    MessageBox,
    FileDialog,
    PrintDialog,
    Dialog,       // a dialog from a template
    Input,        // a form of labelled text fields
    PrintPreview, // the pages as they would print
};

// One entry of a file dialog's filter list.
struct CFilterEntry {
    std::string strLabel;
    std::string strPattern; // the platform's form: patterns separated by ";"
    bool operator==(const CFilterEntry&) const = default;
};

struct CModalRequest {
    EModalKind eKind = EModalKind::MessageBox;
    std::string strTitle;
    std::string strText;         // message boxes: the message
    DWORD dwFlags = 0;           // MB_* type, OFN_* or PD_* flags
    bool bOpenFileDialog = true; // file dialogs: Open (true) or Save As
    std::vector<CFilterEntry> filters;
    std::string strFilterList; // the filter as the list form: label NUL pattern NUL ... NUL
    std::string strInitialDir; // the starting folder as given (empty when none)
    std::string strDefExt;     // default extension, without the dot
    std::string strFileName;   // initial file name
    std::vector<std::string> fieldLabels; // input forms: the labels, in order
    std::vector<std::string> fieldValues; // and the values they start with
    UINT nTemplateId = 0;                 // template dialogs
    CDialog* pDialog = nullptr;           // template dialogs: the running dialog
    QWidget* pOwner = nullptr;            // the owner window, or null
};

struct CModalAnswer {
    INT_PTR nResult = 2; // the dialog's result: IDOK, IDCANCEL, or a template dialog's end code
    // File dialogs: the name as the user would type or pick it. A relative name is taken in the
    // starting folder, and the default extension is added as the dialog adds it.
    // Print dialogs: a PDF file the printer writes to, or empty. Print previews: a PDF file the
    // previewed pages are written to, or empty.
    // Input forms: the values as typed, one line per field.
    std::string strPath;
    // Template dialogs: run the real modal loop after all; whoever asked ends it (a timer).
    bool bRunModalLoop = false;
};

using ModalHook = std::function<std::optional<CModalAnswer>(const CModalRequest&)>;

// Installs a hook for the process and returns the one it replaces.
ModalHook SetModalHook(ModalHook hook);

// Asks the installed hook; nothing when there is none or it declines.
[[nodiscard]] std::optional<CModalAnswer> AskModalHook(const CModalRequest& request);

// True when a request the hook did not answer must not run a real modal loop (offscreen
// platform); reports the refused request on stderr.
[[nodiscard]] bool RefuseUnansweredModal(const CModalRequest& request);

// Installs a hook for a scope, restoring the previous one afterwards. Tests use it.
class CScopedModalHook {
public:
    explicit CScopedModalHook(ModalHook hook) : m_previous(SetModalHook(std::move(hook))) {}
    ~CScopedModalHook() { SetModalHook(std::move(m_previous)); }
    CScopedModalHook(const CScopedModalHook&) = delete;
    CScopedModalHook& operator=(const CScopedModalHook&) = delete;

private:
    ModalHook m_previous;
};

[[nodiscard]] const char* ModalKindName(EModalKind eKind);
