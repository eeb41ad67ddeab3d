#pragma once

#include "platform/Modal.h"

#include <memory>
#include <string>

namespace Ui {
class CEditeurDlg;
}

// "FEN/EPD datas": castling, side to move, en passant, move counters and the comment of a diagram,
// with the page texts edited through "Page text editor". Texts are Windows-1252 bytes; line breaks
// in the multi-line texts are CR LF, as the files keep them.
class CEditeurDlg : public CDialog {
    Q_OBJECT
public:
    explicit CEditeurDlg(QWidget* parent = nullptr);
    ~CEditeurDlg() override;

    std::string m_strPageTitle;
    std::string m_strPageTopText;
    std::string m_strPageInfo;
    int m_bWhiteQueenSide = 0;
    int m_bWhiteKingSide = 0;
    int m_bBlackKingSide = 0;
    int m_bBlackQueenSide = 0;
    std::string m_strComment;
    int m_nActiveColour = 0;
    std::string m_strEnPassant;
    std::string m_strFullMove;
    std::string m_szHelpPath;
    std::string m_strHalfmove;
    bool m_bCastlingChanged = false;

    void OnCastlingClicked() { m_bCastlingChanged = true; }
    void OnPageTextEditor();
    void OnHelpButton();

    // OK closes the dialog only when the entries can be kept as typed; otherwise a message says why.
    void accept() override;

protected:
    void DoDataExchange(bool saving) override;
    void OnInitDialog() override;
    bool event(QEvent* e) override;

private:
    std::unique_ptr<Ui::CEditeurDlg> form;
    // A comment may be as long as the one the diagram brought, or 1000 characters.
    qsizetype commentLimit = 1000;
};

// "Page text editor": the title, top text and info text of one print page.
class CTITLE : public CDialog {
    Q_OBJECT
public:
    explicit CTITLE(QWidget* parent = nullptr);
    ~CTITLE() override;
    std::string m_strTitle;
    std::string m_strTopText;
    std::string m_strInfo;
    void accept() override;

protected:
    void DoDataExchange(bool saving) override;

private:
    struct Form;
    std::unique_ptr<Form> form;
};

class QPlainTextEdit;

// Multi-line texts: CR LF in the program's records, LF in Qt's editors.
QString MultiLineToQt(const std::string& bytes);
std::string MultiLineFromQt(const QString& text);
// The text of a multi-line box exactly as typed (no-break spaces kept), lines ended by LF.
QString PlainTextOf(const QPlainTextEdit* edit);
