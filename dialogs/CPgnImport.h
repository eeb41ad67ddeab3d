#pragma once

#include "pgn/PgnLimits.h"
#include "platform/Modal.h"
#include "positions/DiagramRecord.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class CPgnImport;
}
class CHeaderPGN;
class CommentPane;
class GameListModel;
class QLabel;
struct PlyNode;

// One position of the open game: the position after one ply, as it becomes a diagram.
struct PgnPositionRecord {
    // White long (Q), Black long (q), White short (K), Black short (k); 1 = right held.
    std::array<int32_t, 4> castling {};
    int32_t selected = 0;
    // 0 White to move, 1 Black to move, 2 no side given.
    int32_t side = 0;
    int32_t ply = 0;
    // The move number of the position itself (2 after 1.e4 e5).
    uint32_t fullmoveNumber = 1;
    FontBoard board {};
    // Move number, move, NAG texts and comment; the first chosen position of a game has the game's
    // description in front.
    std::string text;
    std::array<int32_t, 8> nags {};
    std::string enPassant;
    std::string halfmoveClock;
    // The move in the display letters, and as the game gives it (English letters).
    std::string move;
    std::string san;
    // The comments after the move, kept so the text can be written again in other letters.
    std::string comment;
};

// "PGN import": the games of a PGN file, ply-by-ply browsing of one of them, and the choice of the
// positions that become diagrams.
class CPgnImport : public CDialog {
    Q_OBJECT
public:
    explicit CPgnImport(QWidget* parent = nullptr);
    ~CPgnImport() override;

    // Given by the command.
    std::string m_strFilePath;
    std::string m_strLang; // the user's language: name, a blank, five letters
    int m_nLangIndex = 0;
    std::string m_szHelpPath;
    std::string m_strFontFace;
    // Past these sizes a file is taken for damaged and a game for one no play can make.
    PgnLimits m_limits;

    // The DDX values.
    int m_nFrom = 0;
    int m_nTo = 0;
    bool m_bInterval = false;
    bool m_bWhiteMoves = true;
    bool m_bBlackMoves = true;
    bool m_bImportComments = true;

    // The positions chosen in every game opened, in order; the command consumes them.
    std::vector<PgnPositionRecord> m_result;

    // The closing steps (collect the last game's choice, keep the user's language); the command
    // calls this once after DoModal, whatever the answer.
    void DestroyWindow();

    void OpenSelectedGame();
    void OnSelchangeGameList();
    void OnSelectPosition();
    void OnImport();
    void OnUnselect();
    void OnImportAll();
    void OnUnselectAll();
    void OnFirst();
    void OnPrevious();
    void OnNext();
    void OnLast();
    void OnInterval();
    void OnAddLanguage();
    void OnClipboard();
    void OnHelpButton();
    void OnSelchangeLanguage();
    void GoToPly(int ply);

    // For the command, the help pop-ups and tests.
    CHeaderPGN* Header() const { return header.get(); }
    const std::vector<PgnPositionRecord>& Records() const { return records; }
    int ChosenInGame() const { return chosenInGame; }
    const std::string& UserLetters() const { return userLetters; }
    // The whole text of a status pane; the comment pane shows as much of it as its width takes.
    QString StatusPane(int pane) const;
    // A text of the file (tags, comments) as it reads: UTF-8 or Windows-1252, as the file is written.
    QString FileText(const std::string& bytes) const;
    // A text of the file in the Windows-1252 of the diagram list.
    std::string ListText(const std::string& bytes) const;
    // The record text without the game description: move number, move, NAG texts, comment.
    std::string MoveText(const PgnPositionRecord& record, bool show) const;
    // The board RTF of a record, or of the start position.
    static std::string BoardRtf(const PgnPositionRecord* record);
    // The rows of a placement ("rnbqkbnr/...") in the chess-font letters, a8 light.
    static FontBoard BoardFromFen(const std::string& placement);

protected:
    void DoDataExchange(bool saving) override;
    void OnInitDialog() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowBoardRtf(const PgnPositionRecord* record);
    void ShowCurrent();
    void UpdateNavigationButtons();
    void UpdateStatusBar();
    void BuildRecordsFromGame();
    PgnPositionRecord RecordFromPly(PlyNode& ply) const;
    void ComposeText(PgnPositionRecord& record) const;
    void CollectSelectedPositions();
    void ReportStoppedGame(int index);
    int DisplaySetOf(int comboIndex) const;
    void AfterChoiceChange();

    std::unique_ptr<Ui::CPgnImport> form;
    std::unique_ptr<CHeaderPGN> header;
    std::unique_ptr<GameListModel> model;
    CommentPane* commentPane = nullptr;
    QLabel* importedPane = nullptr;
    std::string userLetters;
    std::vector<PgnPositionRecord> records;
    int current = -1;
    int chosenInGame = 0;
    int chosenEarlier = 0;
    int currentPly = 1;
    int comboIndex = 0;
    bool commentsLocked = false;
    bool closed = false;
    bool movingSlider = false;
    std::string chosenGameText;
};
