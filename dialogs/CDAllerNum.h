#pragma once

#include "platform/Modal.h"

#include <memory>
#include <string>

class QLineEdit;

namespace Ui {
class CDAllerNum;
}

// "Go to number...": the number of the diagram to show, at most the number of diagrams.
class CDAllerNum : public CDialog {
    Q_OBJECT
public:
    explicit CDAllerNum(QWidget* parent = nullptr);
    ~CDAllerNum() override;
    int m_nNumber = 0;
    int m_nCount = 0; // the number of diagrams, set by the caller
    QLineEdit* m_edit = nullptr;
    std::string m_szHelpPath;
    // The OK button: a number above the count keeps the dialog open with a message, and so does one that
    // is not a whole number from 1 to 99999999.
    void OnOK();

protected:
    void DoDataExchange(bool saving) override;

private:
    std::unique_ptr<Ui::CDAllerNum> form;
};
