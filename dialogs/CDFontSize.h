#pragma once

#include "platform/Modal.h"

#include <memory>

namespace Ui {
class CDFontSize;
}

// "Font size to copy": the point size of RTF copies, 0 for the size of the screen's squares.
class CDFontSize : public CDialog {
    Q_OBJECT
public:
    explicit CDFontSize(QWidget* parent = nullptr);
    ~CDFontSize() override;
    float m_fSize = 0.0f;

protected:
    void DoDataExchange(bool saving) override;

private:
    void OnOk();
    std::unique_ptr<Ui::CDFontSize> form;
};
