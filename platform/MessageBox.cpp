#include "platform/MessageBox.h"

#include "platform/ModalSeam.h"
#include "platform/Resources.h"
#include "platform/Wnd.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconFor(UINT nType) {
    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        // MB_ICONEXCLAMATION, and no icon given: an application's OK box warns.
        return QMessageBox::Warning;
    }
}

// The box belongs to the window the user is working in: the active one, else the main window.
QWidget* MessageBoxOwner() {
    if (QWidget* pActive = QApplication::activeWindow()) {
        return pActive;
    }
    const CWnd* pMain = AfxGetMainWnd();
    QWidget* pWindow = pMain != nullptr ? pMain->GetSafeHwnd() : nullptr;
    return pWindow != nullptr && pWindow->isVisible() ? pWindow : nullptr;
}

} // namespace

const char* AfxGetAppName() {
    return "Quillon";
}

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& strText, UINT nType,
                                             QWidget* pOwner) {
    auto pBox = std::make_unique<QMessageBox>(pOwner);
    pBox->setWindowTitle(QString::fromUtf8(AfxGetAppName()));
    pBox->setTextFormat(Qt::PlainText);
    pBox->setText(QString::fromStdString(strText));
    pBox->setIcon(IconFor(nType));
    pBox->setStandardButtons(QMessageBox::Ok);
    pBox->setDefaultButton(QMessageBox::Ok);
    pBox->setEscapeButton(QMessageBox::Ok);
    return pBox;
}

int AfxMessageBox(const std::string& strText, UINT nType) {
    CModalRequest request;
    request.eKind = EModalKind::MessageBox;
    request.strTitle = AfxGetAppName();
    request.strText = strText;
    request.dwFlags = nType;
    request.pOwner = MessageBoxOwner();
    if (const auto answer = AskModalHook(request)) {
        return static_cast<int>(answer->nResult);
    }
    if (RefuseUnansweredModal(request)) {
        return IDOK;
    }
    const auto pBox = BuildMessageBox(strText, nType, request.pOwner);
    pBox->exec();
    return IDOK;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType) {
    return AfxMessageBox(LoadString(nIDPrompt), nType);
}
