#pragma once

#include "platform/Modal.h"
#include "platform/WinTypes.h"

#include <memory>
#include <string>

namespace Ui {
class CPreferences;
}

// "Brennix preferences": the settings that have no command of their own. The frame fills the members
// before DoModal and copies them back on OK.
class CPreferences : public CDialog {
    Q_OBJECT
public:
    explicit CPreferences(QWidget* parent = nullptr);
    ~CPreferences() override;

    int m_nBlend = 0;
    Win32::COLORREF m_crPieces = 0;
    Win32::COLORREF m_crPiecesSaved = 0;
    Win32::COLORREF m_crBackground = 0;
    Win32::COLORREF m_crBackgroundSaved = 0;
    bool m_bLegalOnly = true;
    int m_nPrintMode = 0; // 0 nine diagrams a page, 1 one
    int m_nDiagramSize = 0; // 0 Big, 1 Normal, 2 Small
    bool m_bPrintComments = false;
    bool m_bDeleteWarning = false;
    bool m_bPrintCoords = false;
    bool m_bPrintActiveColour = false;
    bool m_bPrintPageNumber = false;
    bool m_bPictureCoords = false;
    bool m_bTransparentBackground = false;
    bool m_bIntelligentMouse = false;
    bool m_bUpperCaseCoords = false;
    int m_nPictureSize = 0;
    bool m_bNoBorder = false;
    std::string m_szHelpPath;

protected:
    void DoDataExchange(bool saving) override;
    void OnInitDialog() override;
    bool event(QEvent* e) override;

private:
    void ShowSwatches();
    void EnableOnePerPage(bool on);
    std::unique_ptr<Ui::CPreferences> form;
};
