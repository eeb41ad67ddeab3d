#include "dialogs/CPgnImport.h"
#include "dialogs/CSetPieces.h"
#include "pgn/CHeaderPGN.h"
#include "platform/Clipboard.h"
#include "platform/Commands.h"
#include "platform/FileDialog.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/RichTextView.h"
#include "platform/Strings.h"
#include "tests/support/InstalledFonts.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <fstream>
#include <functional>

namespace {

const std::string dataDir = std::string(BRENNIX_TEST_DATA) + "/pgn-dialog/";
const std::string smallPgn = dataDir + "small.pgn";

template <class T> T* Control(CDialog& d, int id)
{
    T* control = d.findChild<T*>(QString("IDC_%1").arg(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

void Click(CDialog& d, int id)
{
    Control<QPushButton>(d, id)->click();
}

void OpenGame(CDialog& d, int row)
{
    auto* list = Control<QListView>(d, 1070);
    list->setCurrentIndex(list->model()->index(row, 0));
    Click(d, 1088);
}

void SetChecked(CDialog& d, int id, bool on)
{
    auto* box = Control<QCheckBox>(d, id);
    if (box->isChecked() != on) box->click();
}

class PgnImportTest : public ProgramTest {
protected:
    // Runs "Import positions from a PGN file" on `path` with `step` as what the user does in the
    // dialog; later steps answer the dialogs it opens.
    void RunImport(const std::string& path, std::function<int(CPgnImport&)> step,
        std::vector<DialogScript::Step> nested = {})
    {
        files.Answer(path);
        dialogs.Then([step](CDialog& d) { return step(dynamic_cast<CPgnImport&>(d)); });
        for (auto& s : nested) dialogs.Then(std::move(s));
        View().OnImportPgn();
    }
    std::string FenOf(int n)
    {
        View().GoToDiagram(n);
        return View().BuildFenText(true);
    }
    FileDialogScript files;
    DialogScript dialogs;
    MessageBoxScript boxes;
};

TEST_F(PgnImportTest, ChosenPositionsBecomeDiagramsWithTheirFenAndComments)
{
    View().m_bModified = false;
    AppSettings::Langindex = 5; // English
    RunImport(smallPgn, [](CPgnImport& d) {
        EXPECT_EQ(d.Header()->GameCount(), 4);
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 9u);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "1. e4");
        EXPECT_EQ(d.StatusPane(0), "Comments: 1. e4 ! White has a slight advantage");
        // The board after 1.e4: the pawn stands on e4, a light square.
        auto* board = Control<RichTextView>(d, 1071);
        EXPECT_EQ(board->PlainLines().at(5), "\xE3 + +p+ +%");

        // Black's 2nd and 3rd moves.
        SetChecked(d, 1082, false);
        SetChecked(d, 1084, true);
        Control<QLineEdit>(d, 1086)->setText("2");
        Control<QLineEdit>(d, 1087)->setText("3");
        Click(d, 1078);
        EXPECT_EQ(d.ChosenInGame(), 2);
        EXPECT_EQ(d.StatusPane(1), "Imported: 2");
        // One more by hand: the last position.
        Click(d, 1075);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "5. O-O");
        Click(d, 1080);
        EXPECT_TRUE(Control<QCheckBox>(d, 1076)->isChecked());
        EXPECT_EQ(d.ChosenInGame(), 3);

        // A game from a position with Black to move: White's moves are the ones after which Black moves.
        OpenGame(d, 1);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "10... Kd7");
        SetChecked(d, 1082, true);
        SetChecked(d, 1083, false);
        SetChecked(d, 1084, false);
        Click(d, 1078);
        EXPECT_EQ(d.ChosenInGame(), 3);
        EXPECT_EQ(d.StatusPane(1), "Imported: 6");
        return int(IDOK);
    });

    CPlaviaView& view = View();
    ASSERT_EQ(view.DiagramCount(), 6);
    EXPECT_TRUE(view.m_bModified);
    const char* fens[6] = {
        "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
        "r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 0 4",
        "r1bqkb1r/1ppp1ppp/p1n2n2/4p3/B3P3/5N2/PPPP1PPP/RNBQ1RK1 b kq - 3 5",
        "8/3k4/8/8/4P3/8/8/4K3 b - - 0 11",
        "8/8/4k3/8/4P3/8/5K2/8 b - - 2 12",
        "8/8/8/4k3/4P3/5K2/8/8 b - - 4 13",
    };
    const char* comments[6]
        = { "Anders - Berg 2... Nc6", "3... a6", "5. O-O  1-0", "Dahl - Eck 11. e4", "12. Kf2", "13. Kf3" };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(FenOf(i + 1), fens[i]) << "diagram " << i + 1;
        EXPECT_EQ(view.m_pCurrentDiagram->comment, comments[i]) << "diagram " << i + 1;
        EXPECT_EQ(view.m_pCurrentDiagram->displayComment, comments[i]);
        EXPECT_EQ(view.m_pCurrentDiagram->commentOpcode, "c0");
    }
    EXPECT_TRUE(boxes.asked.empty());
}

TEST_F(PgnImportTest, ImportKeepsTheListAndAddsAtTheEnd)
{
    AppSettings::Langindex = 5;
    CPlaviaView& view = View();
    view.SetBoardPosition(1);
    view.m_pCurrentDiagram->comment = "mine";
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 0);
        Click(d, 1074);
        Click(d, 1080);
        return int(IDOK);
    });
    ASSERT_EQ(view.DiagramCount(), 2);
    EXPECT_EQ(view.m_pFirstDiagram->comment, "mine");
    EXPECT_EQ(FenOf(2), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    EXPECT_EQ(view.m_pCurrentDiagram->comment, "Anders - Berg 1... e5");
}

TEST_F(PgnImportTest, AnEnPassantFileComesWithItsDoubleStepArrow)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 3);
        Click(d, 1075);
        Click(d, 1073);
        EXPECT_EQ(d.Records()[3].enPassant, "f");
        Click(d, 1080);
        Click(d, 1075);
        EXPECT_EQ(d.Records()[4].enPassant, "");
        Click(d, 1080);
        return int(IDOK);
    });
    CPlaviaView& view = View();
    ASSERT_EQ(view.DiagramCount(), 2);
    EXPECT_EQ(FenOf(1), "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 1u);
    EXPECT_EQ(view.m_pCurrentDiagram->marks[0],
        (MarkSlot { uint8_t(Square::FromName("f7").MarkNumber()),
            uint8_t(Square::FromName("f5").MarkNumber()), MarkDoubleStep }));
    EXPECT_EQ(FenOf(2), "rnbqkbnr/ppp1p1pp/5P2/3p4/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 3");
    EXPECT_EQ(view.m_pCurrentDiagram->markCount, 0u);
}

TEST_F(PgnImportTest, BrowsingFollowsTheButtonsAndTheSlider)
{
    AppSettings::Langindex = 5;
    RunImport(smallPgn, [](CPgnImport& d) {
        auto enabled = [&d](int id) { return Control<QWidget>(d, id)->isEnabled(); };
        auto move = [&d] { return Control<QLabel>(d, 1018)->text().toStdString(); };
        EXPECT_FALSE(enabled(1088));
        EXPECT_FALSE(enabled(1098));
        OpenGame(d, 0);
        EXPECT_FALSE(enabled(1072));
        EXPECT_FALSE(enabled(1073));
        EXPECT_TRUE(enabled(1074));
        EXPECT_TRUE(enabled(1075));
        auto* slider = Control<QSlider>(d, 1098);
        EXPECT_EQ(slider->minimum(), 1);
        EXPECT_EQ(slider->maximum(), 9);
        slider->setValue(5);
        EXPECT_EQ(move(), "3. Bb5");
        Click(d, 1073);
        EXPECT_EQ(move(), "2... Nc6");
        EXPECT_EQ(slider->value(), 4);
        Click(d, 1075);
        EXPECT_EQ(move(), "5. O-O");
        EXPECT_FALSE(enabled(1074));
        EXPECT_TRUE(enabled(1072));
        Click(d, 1072);
        EXPECT_EQ(move(), "1. e4");
        // The check box chooses the position shown; "Unselect" and "Import" follow it.
        Control<QCheckBox>(d, 1076)->click();
        EXPECT_EQ(d.ChosenInGame(), 1);
        EXPECT_TRUE(enabled(1081));
        EXPECT_FALSE(enabled(1080));
        EXPECT_TRUE(enabled(1079));
        Click(d, 1079);
        EXPECT_EQ(d.ChosenInGame(), 0);
        EXPECT_FALSE(Control<QCheckBox>(d, 1076)->isChecked());
        // Comments are taken or not for the whole import: the choice is fixed by the first game.
        EXPECT_FALSE(enabled(1069));
        Click(d, 1090);
        EXPECT_NE(LastHelpPage().find("openpgn.htm"), std::string::npos);
        return int(IDCANCEL);
    });
    for (int topic = 1; topic <= 20; ++topic)
        EXPECT_FALSE(HelpTopicText(HelpPath + "pgn.txt", topic).empty()) << topic;
}

TEST_F(PgnImportTest, TheRightsOfTheReplayAreKeptNotDerivedFromThePieces)
{
    CPlaviaView& view = View();
    view.m_bDisplayFen = true;
    RunImport(dataDir + "king-walk.pgn", [](CPgnImport& d) {
        OpenGame(d, 0);
        Click(d, 1078);
        return int(IDOK);
    });
    ASSERT_EQ(view.DiagramCount(), 6);
    // Kings and rooks stand on their squares again, but both kings have moved.
    EXPECT_NE(view.StatusText().find("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w - - 4 4"),
        std::string::npos)
        << view.StatusText();
    EXPECT_EQ(FenOf(5), "rnbq1bnr/ppppkppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR b - - 3 3");
    EXPECT_EQ(FenOf(2), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
}

TEST_F(PgnImportTest, CancelAddsNothing)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 0);
        Click(d, 1078);
        return int(IDCANCEL);
    });
    EXPECT_EQ(View().DiagramCount(), 1);
    EXPECT_FALSE(View().BoardHasPieces());
}

TEST_F(PgnImportTest, ImportAllRefusesBadChoices)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 0);
        SetChecked(d, 1082, false);
        SetChecked(d, 1083, false);
        Click(d, 1078);
        EXPECT_EQ(d.ChosenInGame(), 0);
        SetChecked(d, 1082, true);
        SetChecked(d, 1084, true);
        Control<QLineEdit>(d, 1086)->setText("1");
        Control<QLineEdit>(d, 1087)->setText("1");
        Click(d, 1078);
        EXPECT_EQ(d.ChosenInGame(), 0);
        // "to:" past the game's end is lowered to its last move.
        Control<QLineEdit>(d, 1087)->setText("40");
        Click(d, 1078);
        EXPECT_EQ(Control<QLineEdit>(d, 1087)->text(), "5");
        EXPECT_EQ(d.ChosenInGame(), 5);
        return int(IDCANCEL);
    });
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[0].text, LoadString(40116));
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
    EXPECT_EQ(boxes.asked[1].text, "You must enter a range selection between 1 and 5 for this game");
}

TEST_F(PgnImportTest, AGameThatCannotGoOnNamesTheMoveAndKeepsThePliesBefore)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 2);
        EXPECT_EQ(d.Records().size(), 2u);
        return int(IDCANCEL);
    });
    ASSERT_EQ(boxes.asked.size(), 1u);
    const std::string& text = boxes.asked[0].text;
    EXPECT_NE(text.find("03 Falk - Gran"), std::string::npos) << text;
    EXPECT_NE(text.find("Nf6"), std::string::npos) << text;
}

TEST_F(PgnImportTest, AnUnreadablePositionTagIsNamed)
{
    RunImport(dataDir + "bad-fen.pgn", [](CPgnImport& d) {
        OpenGame(d, 0);
        EXPECT_TRUE(d.Records().empty());
        EXPECT_FALSE(Control<QSlider>(d, 1098)->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(d, 1078)->isEnabled());
        return int(IDOK);
    });
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("01 Jansen - Kask"), std::string::npos) << boxes.asked[0].text;
    EXPECT_EQ(View().DiagramCount(), 1);
}

TEST_F(PgnImportTest, TheListTakesOneHundredThousandGamesAndSaysWhenThereAreMore)
{
    QTemporaryDir folder;
    std::string path = folder.filePath("many.pgn").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[Round \"1\"]\n";
        for (int i = 0; i <= CHeaderPGN::MaxGames; ++i) out << "[White \"W" << i << "\"]\n\n1. e4 *\n";
    }
    RunImport(path, [](CPgnImport& d) {
        auto* list = Control<QListView>(d, 1070);
        EXPECT_EQ(list->model()->rowCount(), CHeaderPGN::MaxGames);
        QString last = list->model()->index(CHeaderPGN::MaxGames - 1, 0).data().toString();
        EXPECT_TRUE(last.startsWith("100000 W99999 - ")) << last.toStdString();
        OpenGame(d, CHeaderPGN::MaxGames - 1);
        EXPECT_EQ(d.Records().size(), 1u);
        return int(IDCANCEL);
    });
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, FormatString1(40111, "100000"));
}

TEST_F(PgnImportTest, TheSecondLetterFamilyGetsItsOwnLetters)
{
    const EveryChessFontInstalled fonts;
    AppSettings::FontFaceName = 16;
    AppSettings::Langindex = 5;
    ASSERT_TRUE(View().m_bLetterFamily2);
    RunImport(smallPgn, [](CPgnImport& d) {
        OpenGame(d, 0);
        Click(d, 1074);
        Click(d, 1074);
        Click(d, 1074);
        Click(d, 1080);
        return int(IDOK);
    });
    const FontBoard& board = View().m_pCurrentDiagram->board;
    // After 2...Nc6: the black knights on c6 and g8 and the white one on f3 (all light squares), the
    // black bishops on c8 (light) and f8 (dark).
    EXPECT_EQ(std::string(board[0].data(), 10), "4t+nWlNjT5");
    EXPECT_EQ(std::string(board[2].data(), 10), "4 +j+ + +5");
    EXPECT_EQ(std::string(board[5].data(), 10), "4+ + +h+ 5");
}

TEST_F(PgnImportTest, MovesAreWrittenAgainInTheChosenLetters)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        auto* languages = Control<QComboBox>(d, 1085);
        EXPECT_EQ(languages->count(), 21);
        languages->setCurrentIndex(10); // German
        OpenGame(d, 0);
        Click(d, 1074);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "1... e5");
        Click(d, 1074);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "2. Sf3");
        EXPECT_EQ(d.Records()[2].text, "2. Sf3 develops");
        // French: the knight's letter changes, castling does not.
        languages->setCurrentIndex(8);
        emit languages->activated(8);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "2. Cf3");
        EXPECT_EQ(d.Records()[2].text, "2. Cf3 develops");
        EXPECT_EQ(d.Records()[4].move, "Fb5");
        EXPECT_EQ(d.Records()[8].move, "O-O");
        return int(IDOK);
    });
    EXPECT_EQ(AppSettings::Langindex, 8);
}

TEST_F(PgnImportTest, FilesWithTooFewTagLinesAreRefused)
{
    struct Case {
        std::string path;
        unsigned message;
    } cases[] = {
        { dataDir + "four-tags.pgn", 40118 },
        { dataDir + "missing.pgn", 40119 },
        { smallPgn, 0 },
    };
    for (const Case& c : cases) EXPECT_EQ(CPlaviaView::CheckPgnFile(c.path), c.message) << c.path;

    View();
    files.Answer(dataDir + "four-tags.pgn");
    EXPECT_TRUE(CommandRouter::Instance().Execute(200));
    EXPECT_EQ(dialogs.shown, 0);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "This is not a PGN file or it is corrupted.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].defaultExtension, "pgn");
    EXPECT_EQ(files.asked[0].filter, " PGN files (*.pgn)|*.pgn||");
}

TEST_F(PgnImportTest, AddLanguageReplacesTheUsersLanguage)
{
    auto letters = [](std::string name, std::string set) {
        return [name, set](CDialog& d) {
            Control<QLineEdit>(d, 1094)->setText(QString::fromStdString(name));
            Control<QLineEdit>(d, 1093)->setText(QString::fromStdString(set));
            return int(IDOK);
        };
    };
    RunImport(smallPgn,
        [](CPgnImport& d) {
            auto* languages = Control<QComboBox>(d, 1085);
            Click(d, 1091); // "Klingon"
            EXPECT_EQ(languages->count(), 22);
            EXPECT_EQ(languages->itemText(21), "Klingon");
            Click(d, 1091); // a second one takes its place
            EXPECT_EQ(languages->count(), 22);
            EXPECT_EQ(languages->itemText(21), "NoName");
            EXPECT_EQ(languages->currentIndex(), 21);
            Click(d, 1091); // four letters: refused
            EXPECT_EQ(languages->itemText(21), "NoName");
            EXPECT_EQ(d.UserLetters(), "ABCDE");
            OpenGame(d, 0);
            Click(d, 1075);
            Click(d, 1073);
            EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "4... Af6");
            return int(IDOK);
        },
        { letters("Klingon", "XYZWV"), letters("", "ABCDE"), letters("Short", "ABCD") });
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "The pieces set must have 5 letters.");
    EXPECT_EQ(AppSettings::Lang, "NoName ABCDE");
    EXPECT_EQ(AppSettings::Langindex, 21);
}

TEST_F(PgnImportTest, TheUsersLanguageComesBackFromTheSettings)
{
    AppSettings::Lang = "Klingon CFTDR";
    AppSettings::Langindex = 21;
    AppSettings::WriteAll();
    AppSettings::RestoreDefaults();
    AppSettings::ReadAll();
    EXPECT_EQ(AppSettings::Lang, "Klingon CFTDR");
    EXPECT_EQ(AppSettings::Langindex, 21);
    RunImport(smallPgn, [](CPgnImport& d) {
        auto* languages = Control<QComboBox>(d, 1085);
        EXPECT_EQ(languages->count(), 22);
        EXPECT_EQ(languages->itemText(21), "Klingon");
        EXPECT_EQ(languages->currentIndex(), 21);
        OpenGame(d, 0);
        Click(d, 1074);
        Click(d, 1074);
        // The user's letters "CFTDR" show the moves as French does.
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "2. Cf3");
        return int(IDOK);
    });
    EXPECT_EQ(AppSettings::Lang, "Klingon CFTDR");
}

TEST_F(PgnImportTest, BoardCopyPutsTheSameRtfOnTheClipboard)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        auto* board = Control<RichTextView>(d, 1071);
        // Before a game is opened the board shows the start position.
        std::vector<std::string> lines = board->PlainLines();
        EXPECT_EQ(lines.size(), 10u);
        if (lines.size() != 10u) return int(IDCANCEL);
        EXPECT_EQ(lines[0], "!\"\"\"\"\"\"\"\"#");
        EXPECT_EQ(lines[1], "\xE7tMvWlVmT%");
        EXPECT_EQ(lines[8], "\xE0RnBqKbNr%");
        EXPECT_EQ(lines[9], "/\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF) ");
        OpenGame(d, 0);
        Click(d, 1077);
        EXPECT_EQ(Clipboard::GetRtf().value_or(""), board->RtfText());
        EXPECT_EQ(board->RtfText(), CPgnImport::BoardRtf(&d.Records()[0]));
        return int(IDCANCEL);
    });
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

QString ListLine(CDialog& d, int row)
{
    return Control<QListView>(d, 1070)->model()->index(row, 0).data().toString();
}

TEST_F(PgnImportTest, Utf8NamesAndCommentsReadRightAndComeInAsWindows1252)
{
    QTemporaryDir folder;
    const std::string utf8 = ReadAll(dataDir + "utf8.pgn");
    ASSERT_FALSE(utf8.empty());
    const struct {
        const char* name;
        std::string text;
    } files[] = {
        { "without a byte-order mark", utf8 },
        { "with a byte-order mark", "\xEF\xBB\xBF" + utf8 },
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        std::string path = folder.filePath("utf8.pgn").toStdString();
        WriteAll(path, file.text);
        frame.reset();
        AppSettings::Langindex = 5;
        RunImport(path, [](CPgnImport& d) {
            EXPECT_EQ(ListLine(d, 0).toStdString(),
                "01 Müller - Åkesson" + std::string(26, '_') + "    Çeşme Open  2024-01-02    1-0");
            EXPECT_TRUE(
                ListLine(d, 1).startsWith(QString::fromUtf8("02 Wojtaszek, Radosław - Navara, David")));
            OpenGame(d, 0);
            EXPECT_EQ(d.StatusPane(0).toStdString(), "Comments: 1. e4 Schön, Dvořák, Łódź: Привет ∓");
            Click(d, 1080);
            return int(IDOK);
        });
        ASSERT_EQ(View().DiagramCount(), 1);
        // What the code page lacks loses its accent or stroke, or becomes '?'.
        EXPECT_EQ(View().m_pCurrentDiagram->comment,
            "M\xFCller - \xC5kesson 1. e4 Sch\xF6n, Dvor\xE1k, L\xF3"
            "dz: ?????? -+");
        EXPECT_EQ(View().m_pCurrentDiagram->displayComment, View().m_pCurrentDiagram->comment);
        EXPECT_TRUE(boxes.asked.empty());
    }

    // A Windows-1252 file reads as before.
    std::string path = folder.filePath("cp1252.pgn").toStdString();
    WriteAll(path,
        "[Event \"Z\xFCrich\"]\n[Site \"S\"]\n[Date \"D\"]\n[White \"M\xFCller\"]\n[Black \"B\"]\n\n"
        "1. e4 {Sch\xF6n} *\n");
    frame.reset();
    RunImport(path, [](CPgnImport& d) {
        EXPECT_TRUE(ListLine(d, 0).startsWith(QString::fromUtf8("01 Müller - B")));
        OpenGame(d, 0);
        EXPECT_EQ(d.StatusPane(0).toStdString(), "Comments: 1. e4 Schön");
        Click(d, 1080);
        return int(IDOK);
    });
    EXPECT_EQ(View().m_pCurrentDiagram->comment, "M\xFCller - B 1. e4 Sch\xF6n");
}

TEST_F(PgnImportTest, ALongCommentKeepsTheDialogSize)
{
    QTemporaryDir folder;
    std::string path = folder.filePath("long.pgn").toStdString();
    std::string comment;
    while (comment.size() < 400) comment += "a long comment on the first move ";
    WriteAll(path,
        "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[White \"A\"]\n[Black \"B\"]\n\n1. e4 {" + comment
            + "} e5 *\n\n" + ReadAll(dataDir + "utf8.pgn"));
    RunImport(path, [&comment](CPgnImport& d) {
        d.show();
        QApplication::processEvents();
        const QSize size = d.size();
        auto* pane = d.findChild<QLabel*>("pane0");
        EXPECT_NE(pane, nullptr);
        if (!pane) return int(IDCANCEL);
        auto check = [&](const std::string& what) {
            SCOPED_TRACE(what);
            QApplication::processEvents();
            EXPECT_EQ(d.size(), size);
            EXPECT_LE(d.minimumSizeHint().width(), size.width());
            EXPECT_LE(d.minimumSize().width(), size.width());
            EXPECT_EQ(pane->width(), d.width() - 100);
            // The comment is cut for the eye only: the pane and its tool tip keep the whole text.
            EXPECT_TRUE(pane->text().endsWith(QChar(0x2026))) << pane->text().toStdString();
            EXPECT_LE(pane->fontMetrics().horizontalAdvance(pane->text()), pane->contentsRect().width());
            EXPECT_TRUE(d.StatusPane(0).size() > 400);
            EXPECT_TRUE(pane->toolTip().contains(d.StatusPane(0).mid(20, 40)));
            for (int id : { 1, 2, 1072, 1073, 1074, 1075, 1078, 1080 }) {
                QWidget* button = d.findChild<QWidget*>(
                    id < 3 ? (id == 1 ? "IDOK" : "IDCANCEL") : QString("IDC_%1").arg(id));
                ASSERT_NE(button, nullptr) << id;
                QRect inDialog(button->mapTo(&d, QPoint(0, 0)), button->size());
                EXPECT_TRUE(d.rect().contains(inDialog)) << id;
            }
        };
        OpenGame(d, 0);
        EXPECT_TRUE(d.StatusPane(0).endsWith(QString::fromStdString(comment).trimmed()));
        check("a 400-character comment");
        OpenGame(d, 2);
        check("a UTF-8 comment of 445 characters");
        // The pane follows the dialog when the user makes it wider and narrower again.
        d.resize(size.width() + 200, size.height());
        QApplication::processEvents();
        EXPECT_EQ(pane->width(), d.width() - 100);
        d.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(d.size(), size);
        EXPECT_EQ(pane->width(), d.width() - 100);
        return int(IDOK);
    });
    // The import keeps the whole comment, up to the text's limit, in Windows-1252.
    EXPECT_EQ(View().DiagramCount(), 1);
}

TEST_F(PgnImportTest, TheOpeningsThatComeWithPgnExtractAreListed)
{
    AppSettings::Langindex = 5;
    RunImport("/usr/share/pgn-extract/eco.pgn", [](CPgnImport& d) {
        EXPECT_EQ(Control<QListView>(d, 1070)->model()->rowCount(), 2014);
        EXPECT_EQ(ListLine(d, 1).toStdString(), "02  - " + std::string(39, '_') + std::string(10, ' '));
        OpenGame(d, 1);
        EXPECT_EQ(d.Records().size(), 2u);
        Click(d, 1075);
        Click(d, 1080);
        return int(IDOK);
    });
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(FenOf(1), "rnbqkb1r/pppppppp/7n/8/1P6/8/P1PPPPPP/RNBQKBNR w KQkq - 1 2");
    // A game that names no player has no description in front of its move.
    EXPECT_EQ(View().m_pCurrentDiagram->comment, "1... Nh6");
}

TEST_F(PgnImportTest, AByteOrderMarkAndCrLineEndsOpenLikeAnyFile)
{
    QTemporaryDir folder;
    std::string path = folder.filePath("cr.pgn").toStdString();
    // Exactly five tag lines, the first behind the mark.
    WriteAll(path,
        "\xEF\xBB\xBF[Event \"E\"]\r[Site \"S\"]\r[Date \"D\"]\r[White \"A\"]\r[Black \"B\"]\r\r"
        "1. e4 e5 2. Nf3 ; a line comment\r Nc6 *\r\r[White \"C\"]\r\r1. d4 *\r");
    RunImport(path, [](CPgnImport& d) {
        EXPECT_EQ(Control<QListView>(d, 1070)->model()->rowCount(), 2);
        EXPECT_TRUE(ListLine(d, 0).startsWith("01 A - B_"));
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 4u);
        return int(IDCANCEL);
    });
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_TRUE(boxes.asked.empty());
}

TEST_F(PgnImportTest, ANullMoveIsBrowsedAndImportedAsAPass)
{
    QTemporaryDir folder;
    std::string path = folder.filePath("null.pgn").toStdString();
    WriteAll(path,
        "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[White \"A\"]\n[Black \"B\"]\n\n"
        "1. e4 e5 2. Nf3 -- {threatening Nxe5} 3. Nxe5 *\n\n"
        "[White \"C\"]\n[FEN \"4k3/8/8/8/8/8/8/4K2R w K - 0 1\"]\n\n1. Rh8+ -- 2. Kd2 *\n");
    AppSettings::Langindex = 5;
    RunImport(path, [](CPgnImport& d) {
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 5u);
        Control<QSlider>(d, 1098)->setValue(4);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "2... --");
        EXPECT_EQ(d.StatusPane(0), "Comments: 2... -- threatening Nxe5");
        Click(d, 1080);
        // A side in check cannot pass: the game stops at the null move and says so.
        OpenGame(d, 1);
        EXPECT_EQ(d.Records().size(), 1u);
        return int(IDOK);
    });
    EXPECT_EQ(FenOf(1), "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("02 C stops at its move --"), std::string::npos)
        << boxes.asked[0].text;
}

TEST_F(PgnImportTest, TheUserIsToldWhatTheListLeavesOut)
{
    QTemporaryDir folder;
    const std::string tags = "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[Round \"1\"]\n";
    std::string damaged = folder.filePath("damaged.pgn").toStdString();
    PgnLimits limits;
    limits.maxLineBytes = 2048;
    WriteAll(damaged,
        tags + "[White \"A\"]\n\n1. e4 {" + std::string(limits.maxLineBytes + 1, 'x')
            + "} *\n\n[White \"B\"]\n\n1. d4 *\n");
    // The dialog as the command opens it, with a line limit of kilobytes instead of megabytes.
    CPgnImport dialog;
    dialog.m_strFilePath = damaged;
    dialog.m_limits = limits;
    dialogs.Then([](CDialog& d) {
        EXPECT_EQ(Control<QListView>(d, 1070)->model()->rowCount(), 1);
        EXPECT_TRUE(ListLine(d, 0).startsWith("01 B - "));
        return int(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    dialog.DestroyWindow();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, FormatString1(41100, "1"));
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONWARNING));

    // Positions without moves: nothing to list, and the user is told so.
    std::string noMoves = folder.filePath("no-moves.pgn").toStdString();
    WriteAll(noMoves, tags + "[FEN \"4k3/8/8/8/8/8/8/4K2R w K - 0 1\"]\n\n*\n\n" + tags + "\n1-0\n");
    RunImport(noMoves, [](CPgnImport& d) {
        EXPECT_EQ(Control<QListView>(d, 1070)->model()->rowCount(), 0);
        return int(IDCANCEL);
    });
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[1].text, "No game of this file has moves: there is no position to import.");
}

TEST_F(PgnImportTest, AGameLongerThanAnyLegalOneIsRefusedByName)
{
    // Knights out and back: the longest game that can be legal, and one half-move more.
    auto knightDance = [](int plies) {
        static const char* const moves[4] = { "Nf3", "Nf6", "Ng1", "Ng8" };
        std::string text;
        for (int p = 0; p < plies; ++p) {
            if (p % 2 == 0) text += std::to_string(p / 2 + 1) + ". ";
            text += moves[p % 4];
            text += p % 16 == 15 ? '\n' : ' ';
        }
        return text;
    };
    const int longest = static_cast<int>(PgnLimits {}.maxPlies);
    QTemporaryDir folder;
    std::string path = folder.filePath("long.pgn").toStdString();
    WriteAll(path,
        "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[White \"Longest\"]\n[Black \"Game\"]\n\n"
            + knightDance(longest) + " *\n\n[White \"Too\"]\n[Black \"Long\"]\n\n" + knightDance(longest + 1)
            + " *\n");
    RunImport(path, [longest](CPgnImport& d) {
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), static_cast<size_t>(longest));
        EXPECT_EQ(Control<QSlider>(d, 1098)->maximum(), longest);
        OpenGame(d, 1);
        EXPECT_TRUE(d.Records().empty());
        EXPECT_FALSE(Control<QSlider>(d, 1098)->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(d, 1074)->isEnabled());
        return int(IDCANCEL);
    });
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text,
        "The game 02 Too - Long has more than 17697 half-moves, more than any legal game: it is not opened.");
    EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
}

TEST_F(PgnImportTest, GamesOnOneLineEachAreListedAndOpened)
{
    QTemporaryDir folder;
    std::string path = folder.filePath("lines.pgn").toStdString();
    WriteAll(path,
        "[Event \"E\"] [White \"A\"] [Black \"B\"] [Result \"*\"] 1. e4 e5 2. Nf3 *\n"
        "[Event \"E\"] [White \"C\"] [Black \"D\"] [Result \"1-0\"] $1 1. d4 d5 1-0\n"
        "[Event \"E\"] [White \"E\"] [Black \"F\"] [Result \"*\"] {A note} 1. c4 *\n"
        "[Event \"E\"] [White \"G\"] [Black \"H\"] [Result \"*\"] 1. \xE2\x99\x98"
        "f3 \xE2\x99\x9E"
        "f6 *\n");
    AppSettings::Langindex = 5;
    RunImport(path, [](CPgnImport& d) {
        EXPECT_EQ(Control<QListView>(d, 1070)->model()->rowCount(), 4);
        EXPECT_TRUE(ListLine(d, 3).startsWith("04 G - H_"));
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 3u);
        OpenGame(d, 3);
        EXPECT_EQ(d.Records().size(), 2u);
        if (d.Records().size() == 2) {
            EXPECT_EQ(d.Records()[1].text, "1... Nf6");
        }
        Click(d, 1075);
        Click(d, 1080);
        return int(IDOK);
    });
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(FenOf(1), "rnbqkb1r/pppppppp/5n2/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 2 2");
}

TEST_F(PgnImportTest, OpenSelectedGameWaitsForAGameToBeSelected)
{
    RunImport(smallPgn, [](CPgnImport& d) {
        auto* list = Control<QListView>(d, 1070);
        auto* open = Control<QPushButton>(d, 1088);
        // The list takes the focus as the dialog opens: it gets a current line, but nothing is selected.
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(list, &focus);
        EXPECT_TRUE(list->currentIndex().isValid());
        EXPECT_FALSE(list->selectionModel()->hasSelection());
        EXPECT_FALSE(open->isEnabled());
        open->click();
        EXPECT_TRUE(d.Records().empty());
        list->setCurrentIndex(list->model()->index(1, 0));
        EXPECT_TRUE(open->isEnabled());
        open->click();
        EXPECT_EQ(d.Records().size(), 6u);
        list->clearSelection();
        EXPECT_FALSE(open->isEnabled());
        return int(IDCANCEL);
    });
}

TEST_F(PgnImportTest, AShortGameIsReadInTheLanguageChosen)
{
    // S is the knight in German and the bishop in Czech; only the bishops can play these moves.
    QTemporaryDir folder;
    std::string path = folder.filePath("short.pgn").toStdString();
    WriteAll(path,
        "[Event \"E\"]\n[Site \"S\"]\n[Date \"D\"]\n[White \"A\"]\n[Black \"B\"]\n\n1. e4 e5 2. Sc4 Sc5 *\n");
    AppSettings::Langindex = 5;
    RunImport(path, [](CPgnImport& d) {
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 2u);
        auto* languages = Control<QComboBox>(d, 1085);
        languages->setCurrentIndex(2); // Czech
        emit languages->activated(2);
        OpenGame(d, 0);
        EXPECT_EQ(d.Records().size(), 4u);
        Click(d, 1075);
        EXPECT_EQ(Control<QLabel>(d, 1018)->text(), "2... Sc5");
        EXPECT_EQ(d.Records()[3].san, "Bc5");
        return int(IDCANCEL);
    });
    // English does not fit the moves: the first language that does cannot play them, and says so.
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("stops at its move Sc4 (ply 3)"), std::string::npos)
        << boxes.asked[0].text;
}

TEST(SetPiecesSample, ShowsTheFivePiecesInTheChessFont)
{
    std::vector<Rtf::Line> lines = Rtf::Read(CSetPieces::SampleRtf());
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines[0].size(), 1u);
    EXPECT_EQ(lines[0][0].bytes, "nbrqk");
    EXPECT_EQ(lines[0][0].halfPoints, 80);
}

} // namespace
