#pragma once

#include "platform/Modal.h"

#include <memory>

namespace Ui {
class CNumDiag;
}

// "Index number (print only)": the number of the first diagram's label.
class CNumDiag : public CDialog {
    Q_OBJECT
public:
    explicit CNumDiag(QWidget* parent = nullptr);
    ~CNumDiag() override;
    int m_nNumber = 1;
    void OnDefault();

protected:
    void DoDataExchange(bool saving) override;

private:
    // The number typed, or 0 when it is not a number from 1 up.
    int TypedNumber() const;
    std::unique_ptr<Ui::CNumDiag> form;
};
