#include "CAboutDlg.h"

#include "ProgramIcon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent)
    : CDialog(parent)
{
    setWindowTitle("About Brennix");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    row->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->addWidget(new QLabel("Brennix  version 4.3", this));
    texts->addWidget(new QLabel("Free chess diagram editor.", this));
    row->addLayout(texts);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
