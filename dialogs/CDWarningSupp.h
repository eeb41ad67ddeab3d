#pragma once

#include "platform/Modal.h"

#include <memory>

namespace Ui {
class CDWarningSupp;
}

// Asked before a board with pieces is removed or replaced.
class CDWarningSupp : public CDialog {
    Q_OBJECT
public:
    explicit CDWarningSupp(QWidget* parent = nullptr);
    ~CDWarningSupp() override;
    bool m_bDontShowAgain = false;
    // The box as it stands, whichever button closed the dialog.
    bool DontShowAgainChecked() const;

protected:
    void DoDataExchange(bool saving) override;

private:
    std::unique_ptr<Ui::CDWarningSupp> form;
};
