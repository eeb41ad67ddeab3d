#pragma once

#include "platform/Modal.h"

#include <memory>
#include <string>

namespace Ui {
class CSetPieces;
}

// The board header of the RTF texts the PGN dialogs show; `fontSize` is in half points.
std::string PgnRtfHeader(int fontSize);

// "New language piece setting": the name of the user's own language and its five piece letters,
// typed in the order the sample shows the pieces (knight, bishop, rook, queen, king).
class CSetPieces : public CDialog {
    Q_OBJECT
public:
    explicit CSetPieces(QWidget* parent = nullptr);
    ~CSetPieces() override;

    std::string m_strLetters;
    std::string m_strCountry;
    std::string m_szHelpPath;
    // The chess font of the sample.
    std::string m_strFontFace;

    // The sample's RTF text: the five pieces on light squares.
    static std::string SampleRtf();
    void OnHelpButton();

protected:
    void DoDataExchange(bool saving) override;
    void OnInitDialog() override;

private:
    std::unique_ptr<Ui::CSetPieces> form;
};
