#pragma once

#include "platform/Modal.h"

#include <memory>
#include <string>

class OpenErrorList;
class QListWidget;

namespace Ui {
class CDialog_Errors;
}

// "Open file: Errors list": the faulty lines of the file just read. OK corrects them one by one,
// Cancel keeps the good positions only.
class CDialog_Errors : public CDialog {
    Q_OBJECT
public:
    explicit CDialog_Errors(QWidget* parent = nullptr);
    ~CDialog_Errors() override;
    const OpenErrorList* m_pErrors = nullptr; // set by the caller
    std::string m_szHelpPath;
    QListWidget* ListBox() const;

protected:
    void OnInitDialog() override;

private:
    std::unique_ptr<Ui::CDialog_Errors> form;
};
