#include "positions/DiagramList.h"
#include "positions/MarkEditing.h"
#include "positions/PositionFile.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace MarkEditing;

namespace {

struct DragCase {
    int dx, dy; // dy grows upwards
    Drag drag;
};

TEST(Gestures, DirectionFollowsTheStraightOrDiagonalRule)
{
    const DragCase cases[] = {
        { 10, 30, Drag::Up }, // d = 40 > m = 30
        { 15, 30, Drag::UpRight }, // d = 30 = m: diagonal
        { -20, 20, Drag::UpLeft },
        { 20, -20, Drag::DownRight },
        { -20, -20, Drag::DownLeft },
        { 0, -30, Drag::Down },
        { 11, 0, Drag::Right },
        { -30, 5, Drag::Left },
        { -14, 30, Drag::Up },
        { -15, 30, Drag::UpLeft },
        { 30, -14, Drag::Right },
        { 30, -15, Drag::DownRight },
    };
    for (const DragCase& c : cases) EXPECT_EQ(ClassifyDrag(c.dx, c.dy), c.drag) << c.dx << "," << c.dy;
}

TEST(Gestures, ClickToleranceIsTenPixelsEachWay)
{
    EXPECT_TRUE(IsClick(10, 0));
    EXPECT_TRUE(IsClick(-10, 10));
    EXPECT_FALSE(IsClick(11, 0));
    EXPECT_FALSE(IsClick(0, -11));
}

TEST(Gestures, PiecePerDirectionInBothColoursAndFamilies)
{
    struct Case {
        Drag drag;
        const char* letters; // white f1, black f1, white f2, black f2
        int row;
    };
    const Case cases[] = {
        { Drag::Up, "popo", 0 },
        { Drag::UpLeft, "nmhj", 1 },
        { Drag::UpRight, "bvbn", 2 },
        { Drag::Left, "rtrt", 3 },
        { Drag::Down, "qwqw", 4 },
        { Drag::Right, "klkl", 5 },
    };
    for (const Case& c : cases) {
        const std::string expected = c.letters;
        for (int i = 0; i < 4; ++i) {
            GestureChoice g = ChoiceForDrag(c.drag, i % 2 == 1, i >= 2);
            EXPECT_EQ(g.piece, expected[i]) << static_cast<int>(c.drag) << " " << i;
            EXPECT_EQ(g.paletteRow, c.row);
            EXPECT_EQ(g.markerKind, 0);
        }
    }
    EXPECT_EQ(ChoiceForDrag(Drag::DownRight, false, false).markerKind, Marks::KindMarkerDownRight);
    EXPECT_EQ(ChoiceForDrag(Drag::DownLeft, true, true).markerKind, Marks::KindMarkerDownLeft);
    EXPECT_EQ(ChoiceForDrag(Drag::DownLeft, true, true).piece, 0);
}

TEST(Gestures, FairyRotationOfStraightDrags)
{
    EXPECT_EQ(RotationForDrag(0, 30, true), 0);
    EXPECT_EQ(RotationForDrag(0, -30, false), 2);
    EXPECT_EQ(RotationForDrag(30, 0, true), 1);
    EXPECT_EQ(RotationForDrag(-30, 0, true), 3);
    EXPECT_EQ(RotationForDrag(30, 0, false), 4);
    EXPECT_EQ(RotationForDrag(-30, 0, false), 5);
    EXPECT_EQ(RotationForDrag(20, 20, false), -1);
}

TEST(Gestures, FairyLettersOfTurnedDarkSquarePieces)
{
    EXPECT_EQ(RotatedFairyLetter('B', 4), 'A');
    EXPECT_EQ(RotatedFairyLetter('K', 4), 'C');
    EXPECT_EQ(RotatedFairyLetter('W', 4), 'X');
    EXPECT_EQ(RotatedFairyLetter('B', 5), 'Y');
    EXPECT_EQ(RotatedFairyLetter('W', 5), 's');
    EXPECT_EQ(RotatedFairyLetter('b', 4), 'b') << "light-square letters are not turned";
    EXPECT_EQ(RotatedFairyLetter('+', 5), '+');
    EXPECT_EQ(RotatedFairyLetter('B', 3), 'B') << "marks 1..3 turn the font, not the letter";
    EXPECT_EQ(RotatedFairyLetter('A', 4), 'A') << "a turned letter stays";
}

TEST(MouseFlags, ArrowKindsComeFromShiftCtrlAndRightButtonOnly)
{
    struct Case {
        int flags, kind;
    };
    const Case cases[] = {
        { 0, Marks::KindColour },
        { MK_SHIFT, Marks::KindShift },
        { MK_RBUTTON | MK_SHIFT, Marks::KindRightShift },
        { MK_CONTROL, Marks::KindCtrl },
        { MK_RBUTTON | MK_CONTROL, Marks::KindRightCtrl },
        { MK_SHIFT | MK_CONTROL, Marks::KindShiftCtrl },
        // a middle button is never the automatic double-step arrow (kind 16)
        { MK_MBUTTON, Marks::KindColour },
        { MK_MBUTTON | MK_SHIFT, Marks::KindShift },
        { MK_RBUTTON, Marks::KindColour },
        { MK_RBUTTON | MK_SHIFT | MK_CONTROL, Marks::KindColour },
    };
    for (const Case& c : cases) EXPECT_EQ(ArrowKindForFlags(c.flags), c.kind) << c.flags;
}

TEST(MouseFlags, ClickColoursAndTheirToggle)
{
    EXPECT_EQ(ClickColourForFlags(0, MarkYellow), MarkYellow);
    EXPECT_EQ(ClickColourForFlags(MK_SHIFT, MarkBlue), MarkRed);
    EXPECT_EQ(ClickColourForFlags(MK_CONTROL, MarkBlue), MarkGreen);
    EXPECT_EQ(ClickColourForFlags(MK_SHIFT | MK_CONTROL, MarkBlue), MarkYellow);
    EXPECT_EQ(ClickColourForFlags(MK_RBUTTON | MK_SHIFT, MarkGreen), MarkBlue);
    EXPECT_EQ(ClickColourForFlags(MK_RBUTTON | MK_CONTROL, MarkGreen), MarkBlue);
    EXPECT_EQ(ClickColourForFlags(MK_MBUTTON, MarkGreen), 0);

    DiagramRecord r;
    EXPECT_EQ(ToggleSquareColour(r, 6, 5, MK_CONTROL, MarkBlue), 1);
    EXPECT_EQ(r.colours[6][5], MarkGreen);
    EXPECT_EQ(r.colouredCount, 1);
    EXPECT_EQ(ToggleSquareColour(r, 6, 5, MK_MBUTTON, MarkBlue), -1) << "any keys take the colour away";
    EXPECT_EQ(r.colours[6][5], 0);
    EXPECT_EQ(r.colouredCount, 0);
    EXPECT_EQ(ToggleSquareColour(r, 6, 5, MK_MBUTTON, MarkBlue), 0);
    EXPECT_EQ(r.colouredCount, 0);
}

TEST(MarkLimit, TheSeventiethMarkIsRefusedAndTheRecordKept)
{
    DiagramRecord r;
    for (int i = 1; i <= MaxStoredMarks; ++i)
        ASSERT_TRUE(
            AddMarkWithinLimit(r, Marks::KindColour, true, (i - 1) % 64 + 1, (i - 1) / 64 + 1, MarkBlue, '1')
                .added)
            << i;
    EXPECT_EQ(r.markCount, 69u);
    const auto before = r.marks;
    Marks::MarkEdit e = AddMarkWithinLimit(r, Marks::KindCtrl, true, 10, 20, MarkBlue, '1');
    EXPECT_TRUE(e.tableFull);
    EXPECT_FALSE(e.added);
    EXPECT_EQ(e.bnxOnlyDelta, 0);
    EXPECT_EQ(r.markCount, 69u);
    EXPECT_EQ(r.marks, before);
    EXPECT_EQ(r.marks[69].from, 0);

    // A full table still lets a repeated gesture take its mark away, and a new one then fits.
    e = AddMarkWithinLimit(r, Marks::KindColour, true, 5, 1, MarkBlue, '1');
    EXPECT_TRUE(e.removed);
    EXPECT_EQ(r.markCount, 68u);
    EXPECT_TRUE(AddMarkWithinLimit(r, Marks::KindCtrl, true, 10, 20, MarkBlue, '1').added);
    EXPECT_EQ(UsedMarkSlots(r), 69);
}

TEST(MarkLimit, TheAutomaticArrowIsNeverRefused)
{
    DiagramRecord r;
    for (int i = 1; i <= MaxStoredMarks; ++i)
        ASSERT_TRUE(
            AddMarkWithinLimit(r, Marks::KindColour, true, i % 64 + 1, i / 64 + 1, MarkBlue, '1').added);
    // The user's 69 marks leave the last slot to the arrow of the en-passant file, and a later arrow
    // (another diagram's file, the same record re-read) takes its place.
    for (auto [from, to] : { std::pair { 13, 29 }, std::pair { 12, 28 }, std::pair { 52, 36 } }) {
        Marks::MarkEdit e = AddMarkWithinLimit(r, Marks::KindDoubleStep, false, from, to, MarkBlue, '1');
        EXPECT_TRUE(e.added) << from;
        EXPECT_FALSE(e.tableFull) << from;
        EXPECT_EQ(UsedMarkSlots(r), 70);
        EXPECT_EQ(UserMarkSlots(r), 69);
        EXPECT_EQ(r.marks[69].from, from);
    }
    // The user's own marks are still held to 69, the arrow beside them.
    EXPECT_TRUE(AddMarkWithinLimit(r, Marks::KindCtrl, true, 10, 20, MarkBlue, '1').tableFull);
    EXPECT_EQ(UserMarkSlots(r), 69);
}

TEST(MarkLimit, AutomaticArrowReplacesItsPredecessorInAFullTable)
{
    DiagramRecord r;
    ASSERT_TRUE(Marks::AddDoubleStepArrow(r, 'd', false).added);
    for (int i = 1; i < MaxStoredMarks; ++i)
        ASSERT_TRUE(
            AddMarkWithinLimit(r, Marks::KindShift, true, (i - 1) % 64 + 1, i > 64 ? 2 : 0, MarkBlue, '1')
                .added)
            << i;
    EXPECT_EQ(UsedMarkSlots(r), 69);
    Marks::MarkEdit e = AddMarkWithinLimit(r, Marks::KindDoubleStep, false, 13, 29, MarkBlue, '1');
    EXPECT_TRUE(e.added);
    EXPECT_EQ(UsedMarkSlots(r), 69);
    int automatic = 0;
    for (const MarkSlot& s : r.marks)
        if (s.from != 0 && s.type == MarkDoubleStep) ++automatic;
    EXPECT_EQ(automatic, 1);
}

TEST(MarkLimit, ABnxFileKeepsTheUsersMarksBesideTheAutomaticArrow)
{
    for (bool allSlots : { true, false }) {
        DiagramList list;
        PositionFile::ReadOptions epd;
        epd.extension = "epd";
        std::istringstream line("4k3/8/8/3pP3/8/8/8/4K3 w - d6;\r\n");
        ASSERT_EQ(PositionFile::ReadList(line, epd, list).diagramsMade, 1);
        DiagramRecord& r = *list.m_pFirstDiagram;
        ASSERT_EQ(UsedMarkSlots(r), 1) << "the arrow of d7-d5, in the first slot";
        std::set<std::pair<int, int>> users;
        for (int i = 1; i <= MaxStoredMarks; ++i) {
            ASSERT_TRUE(
                AddMarkWithinLimit(r, Marks::KindColour, true, i % 64 + 1, i / 64 + 1, MarkBlue, '1').added);
            users.insert({ i % 64 + 1, i / 64 + 1 });
        }
        PositionFile::WriteOptions bnx;
        bnx.allMarkSlots = allSlots;
        std::ostringstream file;
        ASSERT_TRUE(PositionFile::WriteList(list, bnx, file));

        DiagramList back;
        std::istringstream in(file.str());
        ASSERT_EQ(PositionFile::ReadList(in, PositionFile::ReadOptions {}, back).diagramsMade, 1) << allSlots;
        const DiagramRecord& b = *back.m_pFirstDiagram;
        std::set<std::pair<int, int>> read;
        int arrows = 0;
        for (const MarkSlot& s : b.marks) {
            if (s.from == 0) continue;
            if (s.type == MarkDoubleStep)
                ++arrows;
            else
                read.insert({ s.from, s.to });
        }
        EXPECT_EQ(read, users) << allSlots;
        EXPECT_EQ(arrows, 1) << "rebuilt from the en-passant file";
    }
}

TEST(Palette, CellsAreClampedToThePalette)
{
    EXPECT_EQ(PaletteLetter(0, 0, false), 'p');
    EXPECT_EQ(PaletteLetter(1, 1, false), 'm');
    EXPECT_EQ(PaletteLetter(1, 0, true), 'h');
    EXPECT_EQ(PaletteLetter(2, 1, true), 'n');
    EXPECT_EQ(PaletteLetter(6, 0, false), ' ');
    EXPECT_EQ(PaletteLetter(7, 0, false), ' ')
        << "a row below the palette is its last row, never the end of the text";
    EXPECT_EQ(PaletteLetter(-1, 0, false), 'p');
    EXPECT_EQ(PaletteLetter(3, 2, false), 't') << "the right frame column counts as black";
    EXPECT_EQ(ClampPaletteRow(9), 6);
    EXPECT_EQ(ClampPaletteColumn(3), 1);

    EXPECT_EQ(PaletteNumber(0, 0), '0');
    EXPECT_EQ(PaletteNumber(0, 1), '1');
    EXPECT_EQ(PaletteNumber(4, 1), '9');
    EXPECT_EQ(PaletteNumber(5, 0), 0x3A);
    EXPECT_EQ(PaletteNumber(6, 1), 0x3D);
    EXPECT_EQ(PaletteNumber(8, 3), 0x3D);
}

TEST(Letters, OtherColourAndPutForms)
{
    const std::string family1From = "portqwklbvnmh ";
    const std::string family1To = "optrwqlkvbmnh ";
    for (size_t i = 0; i < family1From.size(); ++i)
        EXPECT_EQ(OtherColourLetter(family1From[i], false), family1To[i]) << family1From[i];
    const std::string family2From = "bnhjm";
    const std::string family2To = "nbjhn";
    for (size_t i = 0; i < family2From.size(); ++i)
        EXPECT_EQ(OtherColourLetter(family2From[i], true), family2To[i]) << family2From[i];
    EXPECT_EQ(OtherColourLetter('1', false), '1');

    EXPECT_EQ(LetterForPut('q', true), 'q');
    EXPECT_EQ(LetterForPut('q', false), 'Q');
    EXPECT_EQ(LetterForPut(' ', true), ' ');
    EXPECT_EQ(LetterForPut(' ', false), '+');
}

} // namespace
