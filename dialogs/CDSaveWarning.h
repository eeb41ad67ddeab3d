#pragma once

#include "platform/Modal.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class CDSaveWarning;
}

// "Save File warning": the chosen kind of file loses coloured squares and arrows; save as BNX instead?
class CDSaveWarning : public CDialog {
    Q_OBJECT
public:
    explicit CDSaveWarning(QWidget* parent = nullptr);
    ~CDSaveWarning() override;
    uint8_t m_bSaveAsBnx = 1;
    std::string m_szHelpPath;
    // "No, save with the file extention I have chosen": keeps the kind and closes as OK.
    void OnSaveWithChosenExtension();

private:
    std::unique_ptr<Ui::CDSaveWarning> form;
};
