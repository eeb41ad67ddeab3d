#pragma once

// The verdict on a position, shared by the editor and the PGN import: 0 no objection, 1..20 an error,
// -1..-12 a warning the user may accept, 1000 a file line that is skipped.
using LegalityCode = int;

namespace Legality {

constexpr LegalityCode Ok = 0;
constexpr LegalityCode TooManyKings = 1;
constexpr LegalityCode TooManyQueens = 2;
constexpr LegalityCode TooManyRooks = 3;
constexpr LegalityCode TooManyBishops = 4;
constexpr LegalityCode TooManyKnights = 5;
constexpr LegalityCode PawnOnBackRank = 6;
constexpr LegalityCode TooManyPawns = 7;
constexpr LegalityCode AdjacentKings = 8;
constexpr LegalityCode BothInCheck = 9;
constexpr LegalityCode KingMissing = 10;
constexpr LegalityCode WhiteInCheckNotToMove = 11;
constexpr LegalityCode BlackInCheckNotToMove = 12;
constexpr LegalityCode WhiteCastlingNotAllowed = 13;
constexpr LegalityCode BlackCastlingNotAllowed = 14;
constexpr LegalityCode SlashCount = 15;
constexpr LegalityCode BadCharacter = 16;
constexpr LegalityCode TooManyBadLines = 17;
constexpr LegalityCode TooShort = 18;
constexpr LegalityCode BlankLine = 19;
constexpr LegalityCode OutOfMemory = 20;

constexpr LegalityCode ManyWhiteKnights = -1;
constexpr LegalityCode ManyWhiteBishops = -2;
constexpr LegalityCode ManyWhiteRooks = -3;
constexpr LegalityCode ManyBlackKnights = -4;
constexpr LegalityCode ManyBlackBishops = -5;
constexpr LegalityCode ManyBlackRooks = -6;
constexpr LegalityCode WhiteBishopsSameColour = -7;
constexpr LegalityCode BlackBishopsSameColour = -8;
constexpr LegalityCode BlackCheckedByTwoKnights = -9;
constexpr LegalityCode WhiteCheckedByTwoKnights = -10;
constexpr LegalityCode BlackCheckedByTwoRooks = -11;
constexpr LegalityCode WhiteCheckedByTwoRooks = -12;

// A line the reader skips without listing its fault.
constexpr LegalityCode SkippedLine = 1000;

constexpr bool IsError(LegalityCode code)
{
    return code >= 1 && code <= 20;
}
constexpr bool IsWarning(LegalityCode code)
{
    return code >= -12 && code <= -1;
}
// The checker's codes for a text it cannot read at all, as opposed to a readable but illegal position.
constexpr bool IsUnreadable(LegalityCode code)
{
    return code == SlashCount || code == BadCharacter || code == TooShort || code == BlankLine;
}

// Message box styles of the two kinds of message.
constexpr unsigned ErrorStyle = 0x10; // MB_ICONERROR
constexpr unsigned WarningStyle = 292; // MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2: No is the default

enum class MessageKind {
    None, // no message for this code
    Error, // an error box; the user must mend the position
    Question, // a Yes/No question; Yes accepts the position
};

struct Message {
    MessageKind kind = MessageKind::None;
    unsigned style = 0; // ErrorStyle or WarningStyle
    int stringId = 0; // the text, or for argumentId != 0 the format with one %1
    int argumentId = 0; // the string put in place of %1, 0 when the text stands alone
    // The position data dialog opens after the error box, so the side or castling can be mended.
    bool opensDataDialog = false;
};

// The string-table message that reports the code.
Message MessageFor(LegalityCode code);

} // namespace Legality
