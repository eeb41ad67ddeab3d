#pragma once

#include "platform/Modal.h"

#include <memory>

namespace Ui {
class CDTaille;
}

// "Diagram size": the pixel size of the board picture.
class CDTaille : public CDialog {
    Q_OBJECT
public:
    explicit CDTaille(QWidget* parent = nullptr);
    ~CDTaille() override;
    int m_nSize = 0;

protected:
    void DoDataExchange(bool saving) override;

private:
    std::unique_ptr<Ui::CDTaille> form;
};
