#include "platform/InputForm.h"

#include "platform/ModalSeam.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

std::optional<std::vector<std::string>> AskInputForm(const std::string& strTitle,
                                                     const std::string& strPrompt,
                                                     const std::vector<CInputField>& fields,
                                                     QWidget* pOwner) {
    CModalRequest request;
    request.eKind = EModalKind::Input;
    request.strTitle = strTitle;
    request.strText = strPrompt;
    request.pOwner = pOwner;
    for (const CInputField& field : fields) {
        request.fieldLabels.push_back(field.strLabel);
        request.fieldValues.push_back(field.strValue);
    }
    if (const auto answer = AskModalHook(request)) {
        if (answer->nResult != IDOK) {
            return std::nullopt;
        }
        std::vector<std::string> values;
        std::size_t nStart = 0;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::size_t nEnd = answer->strPath.find('\n', nStart);
            values.push_back(answer->strPath.substr(nStart, nEnd - nStart));
            nStart = nEnd == std::string::npos ? answer->strPath.size() : nEnd + 1;
        }
        return values;
    }
    if (RefuseUnansweredModal(request)) {
        return std::nullopt;
    }
    QDialog dlg(pOwner);
    dlg.setWindowTitle(QString::fromStdString(strTitle));
    auto* pLayout = new QVBoxLayout(&dlg);
    if (!strPrompt.empty()) {
        auto* pPrompt = new QLabel(QString::fromStdString(strPrompt), &dlg);
        pPrompt->setWordWrap(true);
        pLayout->addWidget(pPrompt);
    }
    auto* pForm = new QFormLayout;
    std::vector<QLineEdit*> edits;
    for (const CInputField& field : fields) {
        auto* pEdit = new QLineEdit(QString::fromStdString(field.strValue), &dlg);
        pForm->addRow(QString::fromStdString(field.strLabel), pEdit);
        edits.push_back(pEdit);
    }
    pLayout->addLayout(pForm);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    pLayout->addWidget(pButtons);
    if (dlg.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    std::vector<std::string> values;
    for (const QLineEdit* pEdit : edits) {
        values.push_back(pEdit->text().trimmed().toStdString());
    }
    return values;
}
