#pragma once
// CLoadingDlg: the small captionless window that says "Please Wait..." / "Loading data" while a
// data file loads. The loader creates it modeless from template 147, calls ShowMessage, which
// puts the two texts in their statics (bold Verdana of cell height 32 above, Verdana of cell
// height 24 below), centres it over its owner and paints it at once, then runs the load without
// processing messages, and finally destroys the window and deletes the object. The object owns
// both fonts; they outlive the window and go with the object.

#include "platform/Dialog.h"
#include "platform/Font.h"
#include "res/Resource.h"

#include <memory>
#include <string>

class CLoadingDlg : public CDialog {
public:
    enum { IDD = IDD_LOADING };

    explicit CLoadingDlg(CWnd* pParent = nullptr);
    ~CLoadingDlg() override;

    void ShowMessage(std::string strTitle, std::string strText);

    CFont m_fontTitle;
    CFont m_fontText;
    std::string m_strTitle;
    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The loading window for one load: created and shown when made, destroyed and deleted when the
// scope ends, on every way out.
class CLoadingScope {
public:
    CLoadingScope(const std::string& strTitle, const std::string& strText);
    ~CLoadingScope();
    CLoadingScope(const CLoadingScope&) = delete;
    CLoadingScope& operator=(const CLoadingScope&) = delete;

    [[nodiscard]] CLoadingDlg* Get() const { return m_pDlg; }

private:
    CLoadingDlg* m_pDlg;
};
