#include "ui/LoadingDlg.h"

CLoadingDlg::CLoadingDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    m_fontTitle.CreateFont(32, 0, 0, 0, FW_BOLD, FALSE, FALSE, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           "Verdana");
    m_fontText.CreateFont(24, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, 0, ANSI_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, "Verdana");
}

CLoadingDlg::~CLoadingDlg() {
    // The window goes first; the fonts go with the members after it.
    DestroyWindow();
}

void CLoadingDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOADING_TITLE, m_strTitle);
    DDX_Text(pDX, IDC_LOADING_TEXT, m_strText);
}

void CLoadingDlg::ShowMessage(std::string strTitle, std::string strText) {
    m_strTitle = std::move(strTitle);
    m_strText = std::move(strText);
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    if (CWnd* pTitle = GetDlgItem(IDC_LOADING_TITLE)) {
        pTitle->SetFont(&m_fontTitle, TRUE);
    }
    if (CWnd* pText = GetDlgItem(IDC_LOADING_TEXT)) {
        pText->SetFont(&m_fontText, TRUE);
    }
    UpdateData(FALSE);
    CenterWindow();
    ShowWindow(SW_SHOW);
    // The load that follows processes no messages: this is the one paint the window gets.
    UpdateWindow();
}

CLoadingScope::CLoadingScope(const std::string& strTitle, const std::string& strText)
    : m_pDlg(new CLoadingDlg) {
    if (m_pDlg->Create(CLoadingDlg::IDD)) {
        m_pDlg->ShowMessage(strTitle, strText);
    }
}

CLoadingScope::~CLoadingScope() {
    m_pDlg->DestroyWindow();
    delete m_pDlg;
}
