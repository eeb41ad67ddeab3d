#pragma once

#include "platform/WinTypes.h"
#include "positions/DiagramList.h"
#include "positions/ErrorList.h"
#include "view/BoardGeometry.h"

#include <QCursor>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CFont;
struct PgnPositionRecord;
class Dc;
class QPainter;
struct CPrintInfo;
class CxImage;

// The program's help files are addressed through this prefix; every help call appends its page.
extern std::string HelpPath;

// The board view: owns the diagram list (through DiagramList), the board geometry and the display
// options. Its implementation is split by concern: view_setup.cpp (construction, geometry, modes),
// view_list.cpp (list commands), view_check.cpp (legality, status text), and the files added by the
// drawing, mouse, file, navigation, clipboard and picture code.
class CPlaviaView : public QWidget, public DiagramList {
    Q_OBJECT
public:
    explicit CPlaviaView(QWidget* parent = nullptr);
    ~CPlaviaView() override;

    // --- set-up, geometry and modes (view_setup.cpp)
    bool ExchangePlacement(bool toSettings);
    void OnDiagramSize();
    void OnEditEditor();
    void OnFairyMode();
    // Square size for a picture of `pixels` pixels, as the size command computes it.
    static int SquareSizeForPicture(int pixels, bool withCoordinates);

    // --- list commands (view_list.cpp)
    void OnFileNew();
    void OnAddDiagram();
    void OnInsertDiagram();
    void OnDeleteDiagram();
    bool ConfirmDelete();
    void SetAutoComment(DiagramRecord* record);
    void OnAutoComments();
    void OnEditStandardStartPosition();
    void OnEditClearBoard();
    // The palette's current piece back to the white king.
    void SelectWhiteKing();

    // --- legality and position data (view_check.cpp)
    bool ValidateCurrent();
    void ReportError(int code);
    bool AskIgnoreWarning(int code);
    void DeriveCastlingRights();
    void UpdateStatusText();
    // The text of the status pane: empty unless the FEN display is on.
    std::string StatusText();
    void OnBlackToMove();
    void OnEditDiagramDatas();

    // --- FEN and EPD text of the current diagram (view_fen.cpp)
    std::string BuildFenText(bool forDisplay);
    std::string AppendEpdOperations(bool fileMode);

    // --- clipboard and e-mail (view_clipboard.cpp)
    std::string BuildRtfText();
    bool PutOnClipboard(const std::string& text, bool withRtf);
    void OnCopyRtf();
    void OnCopyBnx();
    void OnCopyFen();
    void OnEditPaste();
    void OnCopyWithoutBorder();
    void OnFontSizeForCopy();
    void OnSendFenMail();
    bool bnxCopyRunning = false;
    DiagramRecord m_bnxCopy; // what Copy (BNX mode) took, for the pastes that follow
    std::string m_strBnxCopyTag; // marks that copy on the clipboard, so a paste knows it is still there
    // A pasted chess-font board that the legality check refuses on the current diagram.
    bool PastedBoardRejected(const DiagramRecord& pasted);

    // --- printing (view_print.cpp)
    void OnFileChangeIndexNumber();
    // Pages of the print job: one per diagram, or one per nine.
    int PrintPageCount() const;
    void OnPreparePrinting(CPrintInfo& info);
    void OnPrint(Dc& dc, CPrintInfo& info);
    void OnEndPrintPreview(CPrintInfo& info);
    void OnFilePrint();
    void OnFilePrintPreview();
    void DrawPrintPage(Dc& dc);
    void DrawNineAPage(Dc& dc);
    // One diagram with its page's texts and its comment, the square made smaller where they would not
    // fit the page.
    void DrawOneAPage(Dc& dc);
    // Shrinks a layout of this size (twips) to the printable area and centres it across the page;
    // m_rectPrintDraw becomes the area the layout is drawn in.
    void FitPrintLayout(Dc& dc, int layoutWidth, int layoutHeight);
    void DrawPrintJobPage(QPainter& painter, CPrintInfo& info);
    // A printed board; (x0, y0) is the top-left of its top border row, in twips.
    void PrintBoard(Dc& dc, const DiagramRecord& record, int x0, int y0, CFont* chessFonts, CFont& text);
    // The page number, centred in the last line of the printable area.
    void PrintPageNumberLine(Dc& dc, int textHeight);
    void PrintMarks(Dc& dc, const DiagramRecord& record, int x0, int rank8Top, CFont& text);
    bool printOnePerPage = false;
    bool printCommentOn = false;
    bool printCoordsOn = false;
    int printSquareSize = 390;
    int printTextHeight = 220;
    int printDiagramsOnPage = 0;
    Win32::RECT m_rectPrintDraw;
    int m_nPrintPage = 0;
    int m_nPrintPageIndex = 0;
    int m_nPreviewStartPage = 1;
    const DiagramRecord* m_pPrintDiagram = nullptr;
    const PrintHeaderNode* m_pPrintPage = nullptr;

    // --- Drawing (view_draw.cpp); the geometry helpers are in view/BoardGeometry.h
    // Paints the view on screen, or (printing) a print page, on any context.
    void OnDraw(Dc& dc);
    // Sets the context up for the screen and refreshes the client and board rectangles.
    void OnPrepareDC(Dc& dc);
    // Fills the area to paint with the window background colour.
    bool OnEraseBkgnd(Dc& dc);
    // What a paint of the whole view does: erase, set-up, draw (the screen, and pictures of the board).
    void PaintView(Dc& dc);
    void BuildDisplayCopy();
    void OnFlipBoard();
    bool FindMoveSquares(bool toNext);
    CellBytes m_displayColours {};
    std::array<MarkSlot, MaxMarks> m_displayMarks {};
    char m_szFileLetters[9] = "ABCDEFGH";
    char m_szRankLabels[9] = "87654321";
    double m_dArrowAngle = 0;
    double m_dArrowLength = 0;

    // --- PGN import (view_pgn.cpp)
    void OnImportPgn();
    // The tag-line test of a PGN file: 0 when it passes, else the id of the message that says why not.
    static unsigned CheckPgnFile(const std::string& path);
    // The chosen positions become diagrams at the end of the list, as the replay gave them.
    void AddImportedPositions(std::vector<PgnPositionRecord>& records);

    // --- pictures of the board (view_picture.cpp)
    void OnCopyBmp();
    void OnSaveAsPicture();
    // The picture work of timer 1 (copy) or 2 (save); the tick stops its own timer first.
    void OnTimer(std::uintptr_t nIDEvent);
    void CopyBoardBitmap();
    // Writes the board to m_strPicturePath in the kind m_strPictureExtension names, then makes the RTF
    // copy; false when an error box was shown.
    bool SaveBoardPicture();
    // The part of the client area a picture shows, coordinates included or not (PNGSaveCoords).
    Win32::RECT PictureRect() const;
    // The picture rectangle painted the way the screen paints it, as a 24-bit image.
    bool CaptureBoard(CxImage& image);
    // 256 colours for a textured board, else 16 (with the transparent colour when SaveTtansparent is
    // on); false with the reason in error.
    static bool ReducePictureColours(CxImage& image, bool textured, std::string& error);
    bool PictureTimerRunning(std::uintptr_t nIDEvent) const;

    // --- chess fonts (view_fonts.cpp)
    void OnChessFonts();
    // What OK of the font dialog does with a table index: face, letter family, charset, conversion.
    void SelectChessFont(int index);

    // --- repaint requests (the drawing code paints; these only invalidate)
    void InvalidateAll(bool erase = true);
    void InvalidateBoard(bool erase = false);

    // --- mouse editing and marks (view_mouse.cpp, view_marks.cpp)
    // flags are MarkEditing::MouseFlag bits; points are client pixels.
    void OnLButtonDown(int flags, Win32::POINT point);
    void OnLButtonUp(int flags, Win32::POINT point);
    void OnLButtonDblClk(int flags, Win32::POINT point);
    void OnRButtonDown(int flags, Win32::POINT point);
    void OnRButtonUp(int flags, Win32::POINT point);
    void OnMouseMove(int flags, Win32::POINT point);
    bool OnSetCursor();
    void PutPieceOnSquare(int flags, int x, int y);
    void AddMark(int kind, uint8_t userEdit, int from, int to);
    void AddDoubleStepArrow(std::string fileText, uint8_t blackToMove);
    void OnMarksMode();
    void OnNumbersInSquares();
    void OnBoardPlacement();
    void OnColourBlue();
    void OnColourGreen();
    void OnColourRed();
    void OnColourYellow();
    // The board square under a client point, as column 1..8 and row 0..7 in screen order; false on the
    // coordinate labels and outside the squares.
    bool SquareAtPoint(Win32::POINT point, int& column, int& row) const;
    // The diagram's square behind a screen square (mirrored on a flipped diagram).
    int DiagramSquare(int column, int row) const;
    int m_nSquareColumn = 0;
    int m_nSquareRow = 0;
    Win32::POINT m_ptDown;
    Win32::POINT m_ptMove;
    QCursor m_hPlacementCursor;
    Win32::RECT m_rectCursorClip;
    Win32::RECT m_rectSavedClip;

    // --- position files, error list and correction mode (view_files.cpp)
    void OnFileOpen();
    // Reads the file the user chose (File > Open after its dialog, or the file named on the command
    // line); false when it gave no list, after the message that says why.
    bool OpenPositionFile(const std::string& path);
    void OnFileMerge();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileExit();
    void ReadPositionFileForCorrection();
    bool BuildHeaderBlock(std::string& block) const;
    // Save and Save As with their outcome: true when the list is in its file (or there was nothing to write).
    bool SaveFile();
    bool SaveFileAs();
    // Before a modified list is replaced: Yes saves it, No goes on, Cancel (false) keeps it.
    bool AskSaveChanges();
    // Puts the message of the next faulty diagram of the walk into the correction status text.
    void LoadErrorMessage();
    OpenErrorList m_errorList; // the faulty lines of the last file opened, walked in correction mode
    int m_nCorrectionOffset = 0; // index of the first diagram the correction re-read made
    std::string m_strLossyLoadPath; // the file some positions of which were left out when it was read
    int m_nExitRequests = 0; // how often Exit ended the program

    // --- navigation and view commands (view_navigation.cpp)
    void OnGoFirstDiagram();
    void OnGoPreviousDiagram();
    void OnGoNextDiagram();
    void OnGoLastDiagram();
    void OnGoToNumber();
    void OnViewCoordinates();
    void OnViewHideTextAndArrows();
    void OnDisplayFen();
    void OnTextureNone();
    void OnTextureRagPaper();
    void OnTextureWatercolor();
    void OnTextureChalk();
    void ChooseTexture(int texture);
    bool m_bTwoSquareRefresh = false; // the last step repainted only the two changed squares

    // Members shared by several concerns; start values are set by the constructor.
    bool m_bShowCoordinates = true;
    bool m_bHideTextAndArrows = false;
    bool m_bDisplayFen = false;
    bool m_bAutoComments = false;
    bool m_bPlacementMode = false;
    bool m_bIgnoreNextRelease = false;
    bool m_bSavedLegalCheck = false;
    int m_nFontCharset = 0;
    // The chess-font table index of m_strFontFace: the FontFaceName setting, or the installed font that
    // stands in for it.
    int m_nFontIndex = 2;
    std::string m_strFontFace;
    std::string m_strFilePattern;
    std::string m_strPicturePath;
    std::string m_strPictureExtension;
    int m_nSquareSize = 51;
    Win32::RECT m_rectBoard;
    Win32::RECT m_rectPalette;
    Win32::RECT m_rectText;
    Win32::RECT m_rectBoardDevice;
    Win32::RECT m_rectTextDevice;
    Win32::RECT m_rectClient;
    Win32::RECT m_rectMoveFrom;
    Win32::RECT m_rectMoveTo;
    int m_nMarkColour = 4;
    std::array<Win32::COLORREF, 9> m_colorTable {};
    float m_fCopyFontSize = 0.0f;
    char m_szRankDigits[16] = "00123456789abcd";
    FontBoard m_displayRows {};
    FontBoard m_markerRows {};
    int m_nPaletteColumn = 0;
    int m_nPaletteRow = 5;
    DiagramRecord* m_pScratchDiagram = nullptr;
    DiagramRecord* m_pBnxCopySource = nullptr;

signals:
    // What the window around the view shows of it, and what it does for it; the view knows nothing of
    // that window. The status pane's text (empty: nothing of the view's to show).
    void statusTextChanged(const std::string& text);
    // The list's name as the window title shows it.
    void documentTitleChanged(const std::string& title);
    // A texture the user chose, also while the window shows none.
    void textureChosen(int texture);
    // File > Exit is done with the list: the program ends after the current command.
    void quitRequested();

protected:
    void timerEvent(QTimerEvent* event) override; // view_picture.cpp
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RegisterCommands();
    void RegisterCheckCommands();
    void RegisterClipboardCommands();
    void RegisterPrintCommands();
    void RegisterMouseCommands();
    void RegisterDrawCommands();
    void RegisterPictureCommands();
    // Timers by the program's ids (1, 2), each holding the Qt timer running for it, 0 for none.
    std::array<int, 3> m_pictureTimers {};
    void SetTimer(std::uintptr_t nIDEvent, int milliseconds);
    void KillTimer(std::uintptr_t nIDEvent);
    void RegisterFontCommands();
    // The parts of OnDraw, in the order they paint.
    void DrawPlacementLine(Dc& dc);
    // False when no texture is chosen (nothing painted).
    bool DrawTexture(Dc& dc);
    // The frame and the eight rows; chessFonts: upright, then turned by 90, 180 and 270 degrees.
    void DrawBoardRows(Dc& dc, CFont* chessFonts[4], bool textured, bool listEmpty);
    void DrawBoardCell(Dc& dc, CFont* chessFonts[4], bool textured, int row, int cell);
    void DrawPalette(Dc& dc, CFont& chessFont, CFont& textFont, Win32::COLORREF pieceColour);
    void DrawCorrectionTexts(Dc& dc, CFont& chessFont, CFont& textFont, Win32::COLORREF pieceColour);
    void DrawMarks(Dc& dc, CFont& textFont);
    // The coordinates and the label under the board.
    void DrawLabels(Dc& dc, CFont& textFont, bool listEmpty);
    void RegisterPgnCommands();
    void RegisterFileCommands();
    void RegisterNavigationCommands();
    bool CheckBeforeWriting();
    // What a save into a kind of file comes to: the file holds the whole list (maybe switched to BNX at
    // the user's word), it is a copy that loses what the user was told about (or a PGN file), or nothing
    // is to be written.
    enum class KindChoice { Whole, Copy, Cancelled };
    KindChoice ConfirmKind(std::string& path, std::string& extension);
    bool ConfirmLossyTarget(const std::string& path);
    bool WriteListFile(const std::string& path, const std::string& extension, bool allMarkSlots);
    void CommitSavedFile(const std::string& path, const std::string& extension);
    bool ReadForCorrection(const std::string& path, const std::string& extension, bool merge,
        const OpenErrorList& errors, int formatErrors);
    void StartCorrectionWalk();
    void MoveToDiagramIndex(int index);
    void CorrectionNext();
    bool LeaveCurrent();
    void ArriveAfterStep(const DiagramRecord* left);
    void InvalidateRect(const Win32::RECT& rect, bool erase);
    // Mouse editing state of one press: it was on a square, and the square whose letter the put saved.
    bool m_bPressOnSquare = false;
    int m_nSavedLetterSquare = 0;
    bool m_bCursorConfined = false;
    bool m_bNumbersPaletteShown = false;
    std::pair<int, int> m_pieceCellBeforeNumbers { 5, 0 }; // palette row and column
    void ReleaseCursorClip();
    void InvalidateSquare(int column, int row);
    void InvalidatePalette();
};

// The id of the last picture timer started (1 copy, 2 save).
extern std::uintptr_t pictureTimerId;
