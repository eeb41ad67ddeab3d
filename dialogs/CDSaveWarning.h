#pragma once

#include "platform/Modal.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class CDSaveWarning;
}

// "Save File warning": the chosen kind of file cannot keep the whole list; save as BNX instead? Under
// the question it names what the file would lose.
class CDSaveWarning : public CDialog {
    Q_OBJECT
public:
    explicit CDSaveWarning(QWidget* parent = nullptr);
    ~CDSaveWarning() override;
    uint8_t m_bSaveAsBnx = 1;
    std::string m_szHelpPath;
    unsigned m_nLostParts = 0; // KindLosses parts the chosen file cannot keep
    // The line that names them, as the dialog shows it.
    static std::string LostText(unsigned parts);
    // "No, save with the file extention I have chosen": keeps the kind and closes as OK.
    void OnSaveWithChosenExtension();

protected:
    void OnInitDialog() override;

private:
    std::unique_ptr<Ui::CDSaveWarning> form;
};
