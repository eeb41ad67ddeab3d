#pragma once

#include "platform/Modal.h"

#include <memory>
#include <string>

namespace Ui {
class CDialogChangeFont;
}
class QListWidget;

// "Change diagram font dialog": the installed chess fonts of the table to choose from, the others
// with their samples and the link to a page that offers them. The chosen table index comes back in
// m_nFontIndex; it is -1 when no installed font was chosen, and OK stays disabled then.
class CDialogChangeFont : public CDialog {
    Q_OBJECT
public:
    explicit CDialogChangeFont(QWidget* parent = nullptr);
    ~CDialogChangeFont() override;

    int m_nFontIndex = 0;
    std::string m_szHelpPath;
    // The font the dialog opens with (the FontFaceName setting).
    int m_nCurrentFont = 0;

    void SetAuthorText(int side, int index); // side 0: installed fonts, 1: the others
    void OnSelchangeInstalledFonts();
    void OnSelchangeNotInstalledList();
    void OnDblclkInstalledFonts();
    void OnOK();
    void OnFontInfo();
    void OnHelpButton();
    // The table index of the selected entry of a list, -1 without a selection.
    static int SelectedIndex(const QListWidget* list);

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool saving) override;
    bool event(QEvent* e) override;

private:
    void ShowSample(int side, int index);
    void EnableOk();
    std::unique_ptr<Ui::CDialogChangeFont> form;
};
