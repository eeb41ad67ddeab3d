// Everything a user can put into a list survives File > Save As and File > Save and a reopening in a
// program started afresh, without fairy mode; a file of another kind keeps what that kind can hold, and
// the user is told about the rest before it is written.
#include "FilesTest.h"

#include "dialogs/CDSaveWarning.h"
#include "positions/KindLosses.h"
#include "tests/support/ListDifferences.h"

#include "platform/Codec.h"
#include "platform/Commands.h"
#include "positions/FenLine.h"
#include "positions/MarkEditing.h"
#include "positions/PositionFile.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <cstdio>
#include <set>
#include <vector>

using namespace Win32;

namespace {

using namespace MarkEditing;

using Snapshot = ListDifferences::ListState;

Snapshot Take(const CPlaviaView& view)
{
    return ListDifferences::StateOf(view);
}

std::vector<MarkSlot> UsedMarks(const DiagramRecord& r)
{
    std::vector<MarkSlot> used;
    for (const MarkSlot& m : r.marks)
        if (m.from != 0) used.push_back(m);
    return used;
}

// Every field a file keeps. The text under the diagram (displayComment) is not among them: it is made
// from the fields when a diagram is read or edited.
// exactSlots: the file was written by Save, which keeps every slot where it was, free ones included.
void ExpectSame(const Snapshot& want, const Snapshot& got, bool exactSlots)
{
    EXPECT_EQ(got.startNumber, want.startNumber);
    EXPECT_EQ(got.pages, want.pages);
    ASSERT_EQ(got.records.size(), want.records.size());
    for (size_t i = 0; i < want.records.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "diagram " << i + 1);
        const DiagramRecord& w = want.records[i];
        const DiagramRecord& g = got.records[i];
        EXPECT_EQ(g.board, w.board);
        EXPECT_EQ(g.colours, w.colours);
        EXPECT_EQ(g.colouredCount, w.colouredCount);
        EXPECT_EQ(g.rotations, w.rotations);
        EXPECT_EQ(UsedMarks(g), UsedMarks(w));
        if (exactSlots) {
            for (int k = 0; k < MaxStoredMarks; ++k) EXPECT_EQ(g.marks[size_t(k)], w.marks[size_t(k)]) << k;
        }
        EXPECT_EQ(g.markCount, w.markCount);
        EXPECT_EQ(g.flipped, w.flipped);
        EXPECT_EQ(g.warningsAccepted, w.warningsAccepted);
        EXPECT_EQ(g.comment, w.comment);
        EXPECT_EQ(g.commentOpcode, w.commentOpcode);
        EXPECT_EQ(g.epdOpsBefore, w.epdOpsBefore);
        EXPECT_EQ(g.epdOpsMiddle, w.epdOpsMiddle);
        EXPECT_EQ(g.epdOpsAfter, w.epdOpsAfter);
        EXPECT_EQ(g.blackToMove, w.blackToMove);
        EXPECT_EQ(g.castleWhiteShort, w.castleWhiteShort);
        EXPECT_EQ(g.castleWhiteLong, w.castleWhiteLong);
        EXPECT_EQ(g.castleBlackShort, w.castleBlackShort);
        EXPECT_EQ(g.castleBlackLong, w.castleBlackLong);
        EXPECT_EQ(g.enPassantFile, w.enPassantFile);
        EXPECT_EQ(g.fullmoveNumber, w.fullmoveNumber);
        EXPECT_EQ(g.halfmoveClock, w.halfmoveClock);
    }
}

enum class Fairy {
    Never, // an ordinary list
    RotationsThenLeft, // rotation marks made in fairy mode, which is left before saving
    OnWithoutRotations, // fairy mode on from the first piece to the save, and no rotation mark
};

struct Scenario {
    const char* name;
    Fairy fairy;
};
void PrintTo(const Scenario& c, std::ostream* out)
{
    *out << c.name;
}

// A user who makes a list with every kind of thing in it, and the program that reads the list back.
class ListMaker : public FilesTest {
protected:
    CPlaviaView& Shown() { return ShownView(); }

    // The centre of a screen square: column 1..8 from the left, row 0..7 from the top.
    POINT Square(int column, int row)
    {
        const CPlaviaView& v = View();
        const int sq = v.m_nSquareSize;
        return { v.m_rectBoard.left + column * sq + sq / 2, v.m_rectBoard.top + row * sq + sq / 2 };
    }
    // A palette cell: row 0..6, column 0 (white, or the first numbers) or 1; hit one square to the right
    // of the palette's rectangle.
    POINT Palette(int row, int column)
    {
        const CPlaviaView& v = View();
        const int sq = v.m_nSquareSize;
        return { v.m_rectPalette.left + sq + column * sq + sq / 2, v.m_rectPalette.top + row * sq + sq / 2 };
    }
    void Click(POINT p, int releaseFlags = 0, int pressFlags = MK_LBUTTON)
    {
        View().OnLButtonDown(pressFlags, p);
        View().OnLButtonUp(releaseFlags, p);
    }
    void Drag(POINT from, POINT to, int releaseFlags = 0)
    {
        View().OnLButtonDown(MK_LBUTTON, from);
        View().OnLButtonUp(releaseFlags, to);
    }
    static POINT Moved(POINT p, int dx, int dyUp) { return { p.x + dx, p.y - dyUp }; }
    void Run(unsigned command) { CommandRouter::Instance().Execute(command); }

    // The data dialog, as the user fills it: a comment, and optionally the e.p. file, the counters and
    // the page texts (through the page text editor).
    void Datas(const std::string& comment, const std::string& enPassant = {},
        const std::string& fullmove = {}, const std::string& halfmove = {},
        const std::array<std::string, 3>* page = nullptr)
    {
        dialogs.Then([=, this](CDialog& d) {
            d.findChild<QPlainTextEdit*>("IDC_112")->setPlainText(Codec::ToQt(comment));
            if (!enPassant.empty()) d.findChild<QLineEdit*>("IDC_120")->setText(Codec::ToQt(enPassant));
            if (!fullmove.empty()) d.findChild<QLineEdit*>("IDC_1005")->setText(Codec::ToQt(fullmove));
            if (!halfmove.empty()) d.findChild<QLineEdit*>("IDC_1063")->setText(Codec::ToQt(halfmove));
            if (page) {
                const std::array<std::string, 3> texts = *page;
                dialogs.Then([texts](CDialog& t) {
                    t.findChild<QLineEdit*>("IDC_1030")->setText(Codec::ToQt(texts[0]));
                    QString top = Codec::ToQt(texts[1]);
                    top.replace("\r\n", "\n");
                    t.findChild<QPlainTextEdit*>("IDC_1031")->setPlainText(top);
                    t.findChild<QLineEdit*>("IDC_1032")->setText(Codec::ToQt(texts[2]));
                    return int(IDOK);
                });
                d.findChild<QPushButton*>("IDC_1029")->click();
            }
            return int(IDOK);
        });
        View().OnEditDiagramDatas();
    }

    // Builds a list of eleven diagrams (two pages) with everything the editor can put in one.
    void BuildList(Fairy fairy)
    {
        CPlaviaView& view = Shown();
        // Boards of any pieces: the checks would stop the list at the first odd one.
        AppSettings::LegalPosition = 0;
        SettingsState::legalCheckActive = false;
        if (fairy == Fairy::OnWithoutRotations) Run(197);
        const bool gestures = fairy != Fairy::OnWithoutRotations;

        // The start number, and a first comment that opens like one.
        dialogs.Then([](CDialog& d) {
            d.findChild<QLineEdit*>("IDC_1026")->setText("12");
            return int(IDOK);
        });
        Run(32775);
        ASSERT_EQ(view.m_nStartNumber, 12);

        // 1: every palette piece in both colours, the blank, a right press, a double click, gestures.
        for (int row = 0; row < 6; ++row)
            for (int column = 0; column < 2; ++column) {
                Click(Palette(row, column));
                Click(Square(row + 1, column == 0 ? 5 : 2));
            }
        Click(Palette(4, 0));
        Click(Square(8, 0));
        Click(Palette(6, 0)); // the blank
        Click(Square(8, 0));
        Click(Palette(1, 0));
        view.OnRButtonDown(MK_RBUTTON, Square(7, 7)); // a black knight
        Click(Palette(3, 0));
        Click(Square(8, 7));
        view.OnLButtonDblClk(MK_LBUTTON, Square(8, 7));
        if (gestures) {
            Drag(Square(1, 6), Moved(Square(1, 6), 0, 30)); // up: pawn
            Drag(Square(2, 6), Moved(Square(2, 6), -20, 20)); // up-left: knight
            Drag(Square(3, 6), Moved(Square(3, 6), 20, 20)); // up-right: bishop
            Drag(Square(4, 6), Moved(Square(4, 6), -30, 0)); // left: rook
        }
        Datas("Startnum 7 is my own text", "", "12", "3", nullptr);

        // 2: every number of the numbers palette; then the whole list is flipped and 2 edited flipped.
        Run(140);
        Run(32857);
        ASSERT_TRUE(GlobalModes::numbersMode);
        for (int k = 0; k < 14; ++k) {
            Click(Palette(k / 2, k % 2));
            Click(Square(k % 8 + 1, k / 8));
        }
        Run(32857);
        Run(160);
        ASSERT_EQ(view.m_pCurrentDiagram->flipped, 1);
        Click(Palette(5, 1));
        Click(Square(1, 0)); // a black king on h1
        Click(Palette(5, 0));
        Click(Square(8, 7)); // a white king on a8

        // 3: arrows in every colour and with every key, coloured squares, a mark taken away again,
        // square markers, and the double-step arrow of an en-passant file.
        Run(140);
        Run(32819);
        ASSERT_TRUE(GlobalModes::colourMarksMode);
        int from = 1;
        for (unsigned colour : { 381u, 390u, 391u, 392u }) {
            Run(colour);
            Drag(Square(from, 0), Square(from, 1));
            ++from;
        }
        for (int keys : std::initializer_list<int> { MK_SHIFT, MK_CONTROL, MK_SHIFT | MK_CONTROL,
                 MK_RBUTTON | MK_SHIFT, MK_RBUTTON | MK_CONTROL }) {
            Drag(Square(from, 0), Square(from == 8 ? 1 : from + 1, 2), keys);
            from = from == 8 ? 1 : from + 1;
        }
        int column = 1;
        for (int keys : std::initializer_list<int> {
                 0, MK_SHIFT, MK_CONTROL, MK_SHIFT | MK_CONTROL, MK_RBUTTON | MK_SHIFT })
            Click(Square(column++, 4), keys);
        Run(32819);
        Click(Palette(5, 0));
        Click(Square(5, 7));
        Click(Palette(5, 1));
        Click(Square(5, 0));
        Click(Palette(0, 1));
        Click(Square(4, 3)); // a black pawn on d5
        if (gestures) {
            Drag(Square(7, 6), Moved(Square(7, 6), 20, -20)); // down-right: square marker
            Drag(Square(8, 6), Moved(Square(8, 6), -20, -20)); // down-left: the other one
        }
        const std::array<std::string, 3> firstPage
            = { "Page * one ** \x87 \xD5", "*top*\r\n**\r\nlast line*", "info * \x87*" };
        Datas("marks\r\nand * stars **", "d", "", "", &firstPage);
        Run(32819);
        Drag(Square(1, 0), Square(1, 1)); // the first arrow again: taken away, its slot free
        Run(32819);

        // 4: rotations, made by straight drags in fairy mode, on light and dark squares.
        Run(140);
        if (fairy == Fairy::RotationsThenLeft) Run(197);
        if (gestures) {
            Drag(Square(2, 3), Moved(Square(2, 3), 0, 30)); // light, up: 0
            Drag(Square(3, 3), Moved(Square(3, 3), 0, -30)); // dark, down: 2
            Drag(Square(2, 5), Moved(Square(2, 5), 30, 0)); // light, right: 1
            Drag(Square(4, 5), Moved(Square(4, 5), -30, 0)); // light, left: 3
            Drag(Square(1, 5), Moved(Square(1, 5), 30, 0)); // dark, right: 4
            Drag(Square(3, 5), Moved(Square(3, 5), -30, 0)); // dark, left: 5
        }
        if (fairy == Fairy::RotationsThenLeft) {
            ASSERT_TRUE(view.m_bFairyMarks);
            Run(197);
        }
        ASSERT_EQ(GlobalModes::fairyMode, fairy == Fairy::OnWithoutRotations);

        // 5: every byte a comment can hold, with line breaks. The data dialog's text box gives a
        // no-break space (0xA0) back as a blank, so that one byte is put in as a paste would put it.
        Run(140);
        std::string all;
        for (int c = 0x20; c <= 0xFF; ++c) all += static_cast<char>(c);
        std::string typed = all;
        typed.erase(0xA0 - 0x20, 1);
        Click(Palette(0, 0));
        Click(Square(5, 6));
        Datas(typed + "\r\n" + typed + "*\r\n\"", "", "1", "0");
        EXPECT_EQ(view.m_pCurrentDiagram->comment, typed + "\r\n" + typed + "*\r\n\"");
        view.m_pCurrentDiagram->comment = all + "\r\n" + all + "*\r\n\"";

        // 6 to 10: texts the file escapes, one per diagram.
        for (const char* comment : { "**", "a*", "\xD5\x87", "Startnum 3 later", "x\r\n\r\n*" }) {
            Run(140);
            Click(Palette(2, 1));
            Click(Square(3, 3));
            Datas(comment);
        }

        // 11: on the second page, with page texts of its own.
        Run(140);
        Click(Palette(3, 0));
        Click(Square(8, 7));
        const std::array<std::string, 3> secondPage = { "two", "", "\x87\x87**" };
        Datas("", "", "", "", &secondPage);
        ASSERT_EQ(view.DiagramCount(), 11);
        ASSERT_EQ(view.m_nPageCount, 2);
        EXPECT_EQ(view.m_pFirstPage->topText, firstPage[1]);
    }

    // A program started afresh, with its default settings and no mode on, opens the file.
    Snapshot Reopen(const std::string& path)
    {
        Snapshot s = OpenAfresh(path, true, false);
        EXPECT_FALSE(View().m_bModified);
        return s;
    }

    // The same user opens a file of positions only: the checks stay off for these boards, and fairy mode
    // is as it was.
    Snapshot ReopenPositions(const std::string& path, bool fairyMode)
    {
        return OpenAfresh(path, false, fairyMode);
    }

    Snapshot OpenAfresh(const std::string& path, bool legalChecks, bool fairyMode)
    {
        frame.reset();
        GlobalModes::Reset();
        AppSettings::RestoreDefaults();
        AppSettings::LegalPosition = legalChecks ? 1 : 0;
        SettingsState::legalCheckActive = legalChecks;
        SettingsState::legalSuspendedByFile = false;
        GlobalModes::fairyMode = fairyMode;
        const size_t asked = boxes.asked.size();
        const int shownBefore = dialogs.shown;
        Open(path);
        EXPECT_EQ(boxes.asked.size(), asked) << "the file opens without a message";
        EXPECT_EQ(dialogs.shown, shownBefore) << "and without an error list";
        return Take(View());
    }
};

class RoundTrip : public ListMaker, public ::testing::WithParamInterface<Scenario> { };

// The list holds what the editing was meant to make: the test compares something.
void ExpectEverythingMade(const Snapshot& s, Fairy fairy)
{
    std::set<int> types, colours, rotations;
    int flipped = 0;
    for (const DiagramRecord& r : s.records) {
        for (const MarkSlot& m : UsedMarks(r)) types.insert(m.type);
        for (int row = 0; row < 8; ++row)
            for (int cell = 1; cell <= 8; ++cell) {
                if (r.colours[row][cell]) colours.insert(r.colours[row][cell]);
                if (r.rotations[row][cell]) rotations.insert(r.rotations[row][cell]);
            }
        flipped += r.flipped;
    }
    // The twelve palette pieces, each in the letter of its square's colour.
    EXPECT_EQ(std::string(&s.records[0].board[5][1], 6), "PnBrQk");
    EXPECT_EQ(std::string(&s.records[0].board[2][1], 6), "oMvTwL");
    std::set<int> wantTypes { 1, 2, 3, 4, 5, 6 };
    for (int n = MarkNumberZero; n <= MarkNumberLast; ++n) wantTypes.insert(n);
    if (fairy != Fairy::OnWithoutRotations) wantTypes.insert({ 7, 8 });
    EXPECT_EQ(types, wantTypes);
    EXPECT_EQ(colours, (std::set<int> { 1, 2, 3, 4 }));
    EXPECT_EQ(flipped, 2);
    if (fairy == Fairy::RotationsThenLeft)
        EXPECT_EQ(rotations, (std::set<int> { 1, 2, 3, 4, 5 }));
    else
        EXPECT_TRUE(rotations.empty());
}

TEST_P(RoundTrip, EverythingTheEditorMakesComesBack)
{
    BuildList(GetParam().fairy);
    CPlaviaView& view = View();
    ExpectEverythingMade(Take(view), GetParam().fairy);

    // File > Save As: the used mark slots.
    const std::string path = Path("list.bnx");
    files.Answer(path);
    view.OnFileSaveAs();
    ASSERT_EQ(view.m_strFilePath, path);
    Snapshot made = Take(view);
    const std::string savedAs = Slurp(path);
    EXPECT_EQ(savedAs.starts_with("HEADER_PRINT_X Fairy "), GetParam().fairy != Fairy::Never);

    // File > Save: all 69 slots, the free ones too.
    view.m_bModified = true;
    view.OnFileSave();
    const std::string saved = Slurp(path);
    EXPECT_GT(saved.size(), savedAs.size());

    // The blue arrow taken away left its slot free, with its type.
    EXPECT_NE(saved.find("\r\n0 0 4 \r\n"), std::string::npos);

    ExpectSame(made, Reopen(path), true);

    // Saved again from the reopened list: the same bytes, and again the same diagrams.
    View().m_bModified = true;
    View().OnFileSave();
    EXPECT_EQ(Slurp(path), saved);
    files.Answer(Path("again.bnx"));
    View().OnFileSaveAs();
    EXPECT_EQ(Slurp(Path("again.bnx")), savedAs);
    ExpectSame(made, Reopen(Path("again.bnx")), false);
}

INSTANTIATE_TEST_SUITE_P(Lists, RoundTrip,
    ::testing::Values(Scenario { "Plain", Fairy::Never }, Scenario { "Rotations", Fairy::RotationsThenLeft },
        Scenario { "FairyWithoutRotations", Fairy::OnWithoutRotations }),
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

struct KindCase {
    const char* name;
    Fairy fairy;
    const char* extension;
    bool save; // File > Save of a list whose own file is of this kind; else File > Save As
};
void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

class SavedInEveryKind : public ListMaker, public ::testing::WithParamInterface<KindCase> { };

// Saved in each kind, by Save As and by Save, with fairy mode on and off: what the kind keeps comes back
// field by field, and what it cannot keep is exactly what the warning named before the file was written.
TEST_P(SavedInEveryKind, WhatTheKindKeepsComesBackAndTheUserWasAskedAboutTheRest)
{
    const KindCase& c = GetParam();
    const bool bnx = std::string(c.extension) == "bnx";
    const std::string path = Path(std::string("list.") + c.extension);
    CPlaviaView& view = Shown();
    if (c.save) {
        // The list's own file is of this kind: it was saved there while it held one empty diagram.
        AppSettings::LegalPosition = 0;
        SettingsState::legalCheckActive = false;
        files.Answer(path);
        view.OnFileSaveAs();
        ASSERT_EQ(view.m_strFilePath, path);
        ASSERT_TRUE(dialogs.titles.empty());
    }
    BuildList(c.fairy);
    const Snapshot made = Take(view);
    const std::string ownFile = view.m_strFilePath;
    const bool fairyMode = GlobalModes::fairyMode;

    int warnings = 0;
    unsigned named = 0;
    dialogs.Then([&](CDialog& d) {
        ++warnings;
        auto* warning = dynamic_cast<CDSaveWarning*>(&d);
        if (!warning) {
            ADD_FAILURE() << "not the save warning: " << d.windowTitle().toStdString();
            return int(IDCANCEL);
        }
        named = warning->m_nLostParts;
        d.findChild<QPushButton*>("IDC_1028")->click();
        return int(IDOK);
    });
    if (c.save) {
        view.OnFileSave();
    } else {
        files.Answer(path);
        view.OnFileSaveAs();
    }
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    // Every list made here has marks, coloured squares, flipped boards, page texts and a start number,
    // which only a BNX file keeps.
    EXPECT_EQ(warnings, bnx ? 0 : 1);
    using namespace KindLosses;
    const unsigned onlyBnx = BoardMarks | ColouredSquares | Flip | PageTexts | StartNumber;
    EXPECT_EQ(named & onlyBnx, bnx ? 0u : onlyBnx);
    EXPECT_EQ((named & TurnedPieces) != 0, !bnx && c.fairy == Fairy::RotationsThenLeft);
    EXPECT_EQ((named & Comments) != 0, std::string(c.extension) == "fen");
    EXPECT_EQ((named & CommentLineBreaks) != 0, std::string(c.extension) == "epd");
    if (named == 0) {
        EXPECT_EQ(view.m_strFilePath, path);
        EXPECT_FALSE(view.m_bModified);
    } else {
        // A copy that lost something: the list is still the user's own, and not saved yet.
        EXPECT_EQ(view.m_strFilePath, ownFile);
        EXPECT_TRUE(view.m_bModified);
    }

    const Snapshot back = bnx ? Reopen(path) : ReopenPositions(path, fairyMode);
    EXPECT_EQ(named, ListDifferences::Lost(made, back))
        << "named " << named << ", lost " << ListDifferences::Lost(made, back);
    if (bnx) ExpectSame(made, back, c.save);
}

std::vector<KindCase> EveryKind()
{
    std::vector<KindCase> cases;
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const char* scenario : { "Plain", "Rotations", "FairyOn" })
            for (const char* kind : { "Bnx", "Epd", "Fen", "Txt" })
                for (const char* road : { "SaveAs", "Save" })
                    n.push_back(std::string(scenario) + kind + road);
        return n;
    }();
    size_t i = 0;
    for (Fairy fairy : { Fairy::Never, Fairy::RotationsThenLeft, Fairy::OnWithoutRotations })
        for (const char* extension : { "bnx", "epd", "fen", "txt" })
            for (bool save : { false, true }) cases.push_back({ names[i++].c_str(), fairy, extension, save });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SavedInEveryKind, ::testing::ValuesIn(EveryKind()),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

// Forms that cannot hold the list are copies for other programs.
using CopiesForOtherPrograms = FilesTest;

std::string PgnExtract()
{
    for (const char* place : { "/usr/games/pgn-extract", "/usr/bin/pgn-extract" })
        if (QFile::exists(place)) return place;
    return {};
}

std::string Output(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

TEST_F(CopiesForOtherPrograms, SaveAsPgnOrFenKeepsTheListAndItsQuestion)
{
    Open(Fixture("save.bnx"));
    CPlaviaView& view = View();
    const std::string list = Path("save.bnx");
    const std::string before = Slurp(list);
    view.m_pFirstDiagram->comment = "changed";
    view.m_bModified = true;

    for (const char* copy : { "copy.pgn", "copy.fen" }) {
        SCOPED_TRACE(copy);
        files.Answer(Path(copy));
        // The FEN file cannot keep the marks: the user is warned and keeps the chosen kind.
        const bool fen = std::string(copy) == "copy.fen";
        const int warnings = dialogs.shown;
        if (fen)
            dialogs.Then([](CDialog& d) {
                d.findChild<QPushButton*>("IDC_1028")->click();
                return int(IDOK);
            });
        view.OnFileSaveAs();
        EXPECT_EQ(dialogs.shown - warnings, fen ? 1 : 0);
        EXPECT_FALSE(Slurp(Path(copy)).empty());
        EXPECT_EQ(view.m_strFilePath, list);
        EXPECT_EQ(view.m_strExtension, "bnx");
        EXPECT_EQ(Title(), "save.bnx - Brennix 4.3");
        EXPECT_TRUE(view.m_bModified);
    }
    // New asks before the work goes; Cancel keeps it.
    boxes.Answer(IDCANCEL);
    CommandRouter::Instance().Execute(31002);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("save.bnx"), std::string::npos);
    EXPECT_EQ(view.m_pFirstDiagram->comment, "changed");
    EXPECT_EQ(Slurp(list), before);

    // A FEN file that holds every diagram whole becomes the list's file.
    Write(Path("plain.fen"), "4k3/8/8/8/8/8/8/4K3 w - - 0 1\r\n4k3/8/8/8/8/8/8/3K4 b - - 2 9\r\n");
    boxes.Answer(IDNO);
    Open(Path("plain.fen"));
    view.m_bModified = true;
    files.Answer(Path("other.fen"));
    view.OnFileSaveAs();
    EXPECT_EQ(view.m_strFilePath, Path("other.fen"));
    EXPECT_FALSE(view.m_bModified);
    EXPECT_EQ(Slurp(Path("other.fen")), Slurp(Path("plain.fen")));
}

TEST_F(CopiesForOtherPrograms, PgnExtractReadsEveryGame)
{
    const std::string pgnExtract = PgnExtract();
    ASSERT_FALSE(pgnExtract.empty()) << "pgn-extract is missing: scripts/setup.sh installs it";
    Open(Fixture("save.bnx"));
    CPlaviaView& view = View();
    files.Answer(Path("games.pgn"));
    view.OnFileSaveAs();
    const std::string pgn = Slurp(Path("games.pgn"));
    ASSERT_FALSE(pgn.empty());

    const std::string log
        = Output(pgnExtract + " -s -Wepd '" + Path("games.pgn") + "' -o '" + Path("final.epd") + "' 2>&1");
    EXPECT_EQ(log.find("Illegal"), std::string::npos) << log;
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
    // Each game's position, as pgn-extract understood it, is the diagram's.
    std::vector<std::string> positions;
    const std::string epd = Slurp(Path("final.epd"));
    for (size_t at = 0; at < epd.size();) {
        size_t end = epd.find('\n', at);
        if (end == std::string::npos) end = epd.size();
        std::string line = epd.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) positions.push_back(line);
        at = end + 1;
    }
    ASSERT_EQ(static_cast<int>(positions.size()), view.DiagramCount());
    int i = 0;
    for (DiagramRecord* r = view.m_pFirstDiagram; r; r = r->next, ++i) {
        const std::string fen = FenLine::BuildFenText(view, *r, false, false);
        EXPECT_EQ(positions[static_cast<size_t>(i)].substr(0, fen.size()), fen) << i;
    }
}

} // namespace

namespace {

struct OpenCase {
    const char* name;
    const char* file;
    std::string text;
    int diagrams;
    QStringList errorRows; // what the error list shows; empty: no error list at all
};

using OpenedThroughTheMenu = FilesTest;

// The files that used to open short or not at all, opened with File > Open.
TEST_F(OpenedThroughTheMenu, FilesThatUsedToBeLost)
{
    const std::string king = "4k3/8/8/8/8/8/8/4K3 w - -";
    const std::string block = [] {
        std::string b;
        for (int i = 0; i < 8; ++i) b += "0 0 0 0 0 0 0 0 0 0 0 0 \r\n";
        return b + "\r\n37 37 48 \r\n0 0\r\n";
    }();
    const std::vector<OpenCase> cases = {
        { "CR line ends", "cr.epd", king + " c0 \"1\";\r" + king + " c0 \"2\";\r" + king + " c0 \"3\";\r", 3,
            {} },
        { "byte-order mark, EPD", "bom.epd", "\xEF\xBB\xBF" + king + "\r\n" + king + "\r\n", 2, {} },
        { "byte-order mark, BNX", "bom.bnx",
            "\xEF\xBB\xBFHEADER_PRINT\r\nT\r\n\r\n\r\nHEADER_PRINT_END\r\n" + king + "\r\n" + block, 1, {} },
        { "number mark 0", "zero.bnx", king + "\r\n" + block, 1, {} },
        { "overlong line", "long.epd",
            king + "\r\n" + std::string(PositionFile::MaxLineLength + 1, 'x') + "\r\n" + king + "\r\n", 2,
            { "Ligne 2 : This line is too long to be a position." } },
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        Write(Path(c.file), c.text);
        QStringList rows;
        const int shown = dialogs.shown;
        if (!c.errorRows.isEmpty())
            dialogs.Then([&rows](CDialog& d) {
                auto* list = d.findChild<QListWidget*>("IDC_1010");
                for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
                return int(IDCANCEL); // "Load file without bad positions"
            });
        const size_t asked = boxes.asked.size();
        Open(Path(c.file));
        EXPECT_EQ(boxes.asked.size(), asked);
        EXPECT_EQ(dialogs.shown, shown + (c.errorRows.isEmpty() ? 0 : 1));
        EXPECT_EQ(View().DiagramCount(), c.diagrams);
        EXPECT_EQ(View().m_strFilePath, Path(c.file));
        EXPECT_EQ(rows, c.errorRows);
    }
}

TEST_F(OpenedThroughTheMenu, AnOpcodeBeginningWithADigitKeepsTheFileInEpdForm)
{
    Write(Path("ops.epd"),
        "4k3/8/8/8/8/8/8/4K3 w - - 1x y; c0 \"first\"; fmvn 4;\r\n4k3/8/8/8/8/8/8/3K4 b - - fmvn 9; hmvc "
        "2;\r\n");
    Open(Path("ops.epd"));
    CPlaviaView& view = View();
    ASSERT_EQ(view.DiagramCount(), 2);
    files.Answer(Path("again.epd"));
    view.OnFileSaveAs();
    const std::string written = Slurp(Path("again.epd"));
    EXPECT_EQ(written,
        "4k3/8/8/8/8/8/8/4K3 w - - 1x y; c0 \"first\"; fmvn 4;\r\n4k3/8/8/8/8/8/8/3K4 b - - fmvn 9; hmvc "
        "2;\r\n");
    Open(Path("again.epd"));
    EXPECT_TRUE(View().m_bEpdMode);
    EXPECT_EQ(View().m_pFirstDiagram->epdOpsBefore, "1x y;");
    EXPECT_EQ(View().m_pFirstDiagram->comment, "first");
    EXPECT_EQ(View().m_pLastDiagram->fullmoveNumber, "9");
    EXPECT_EQ(View().m_pLastDiagram->halfmoveClock, "2");
}

} // namespace
