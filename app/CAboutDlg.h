#pragma once

#include "platform/Modal.h"

// "About Brennix": the program's icon, its version and an OK button.
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
