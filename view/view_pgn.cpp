#include "CPlaviaView.h"

#include "dialogs/CPgnImport.h"
#include "pgn/PgnFileCheck.h"
#include "platform/Commands.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"
#include "positions/Marks.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

void CPlaviaView::RegisterPgnCommands()
{
    CommandRouter::Instance().Register(this, CommandId::ImportPgn, [this] { OnImportPgn(); });
}

unsigned CPlaviaView::CheckPgnFile(const std::string& path)
{
    return CheckPgnFileLines(path);
}

void CPlaviaView::OnImportPgn()
{
    FileDialogRequest request;
    request.open = true;
    request.defaultExtension = "pgn";
    request.initialName = "*.pgn";
    request.filter = LoadString(StringId::PgnFilter);
    std::string path;
    if (!AfxFileDialog(this, request, path)) return;
    if (unsigned message = CheckPgnFile(path)) {
        AfxMessageBox(message, MB_ICONERROR);
        return;
    }

    CPgnImport dialog(this);
    dialog.m_strFilePath = path;
    dialog.m_strLang = AppSettings::Lang;
    dialog.m_nLangIndex = AppSettings::Langindex;
    dialog.m_szHelpPath = HelpPath;
    dialog.m_strFontFace = m_strFontFace;
    int answer = dialog.DoModal();
    dialog.DestroyWindow();
    if (answer != IDOK) return;
    AppSettings::Langindex = static_cast<uint8_t>(dialog.m_nLangIndex);
    AppSettings::Lang = dialog.m_strLang;
    AddImportedPositions(dialog.m_result);
    UpdateStatusText();
}

void CPlaviaView::AddImportedPositions(std::vector<PgnPositionRecord>& records)
{
    if (records.empty()) return;
    bool first = true;
    for (const PgnPositionRecord& position : records) {
        DiagramRecord* record = nullptr;
        // A list that holds only one blank diagram takes the first position in its place.
        if (first && DiagramCount() == 1 && m_pCurrentDiagram && !BoardHasPieces()
            && m_pCurrentDiagram->comment.empty() && m_pCurrentDiagram->markCount == 0
            && m_pCurrentDiagram->colouredCount == 0) {
            record = m_pCurrentDiagram;
            ResetDiagram(record, 0);
        } else {
            // The positions come straight from the replay: nothing of the diagram before is checked
            // or derived again.
            record = AppendDiagram();
        }
        first = false;
        record->castleWhiteLong = position.castling[0];
        record->castleBlackLong = position.castling[1];
        record->castleWhiteShort = position.castling[2];
        record->castleBlackShort = position.castling[3];
        record->blackToMove = position.side == 1 ? 1 : 0;
        record->fullmoveNumber = std::to_string(position.fullmoveNumber);
        record->halfmoveClock = position.halfmoveClock;
        record->enPassantFile = position.enPassant;
        record->displayComment = position.text;
        record->comment = position.text;
        record->commentOpcode = "c0";
        record->warningsAccepted = 0;
        record->board = position.board;
        if (m_bLetterFamily2) BoardLetters::ConvertBoard(record->board, true);
        // An en-passant file shows as the arrow of the double step, as when the position is read from a file.
        if (!position.enPassant.empty())
            Marks::AddDoubleStepArrow(*record, position.enPassant[0], record->blackToMove != 0);
    }
    records.clear();
    // The rights the replay gave are kept when the user leaves the last imported diagram.
    m_bDeriveCastling = false;
    m_bModified = true;
    InvalidateAll(true);
}
