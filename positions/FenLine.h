#pragma once

#include "DiagramList.h"
#include "DiagramRecord.h"
#include "Legality.h"

#include <string>
#include <string_view>

// One diagram as one line of text: FEN (six fields) or EPD (four fields and operations), written from
// a record and read back into one. The list supplies what the line's form depends on: the letter
// family, EPD mode, the file's extension, the start number; fairy mode and the legality check are
// program-wide modes and are handed in.
namespace FenLine {

// Fields 1 to 4 of the record; with forDisplay, or in a ".fen" list, also the halfmove clock and the
// fullmove number (default "0" and "1"). In fairy mode the board letters are written as they stand;
// otherwise in FEN letters, a turned piece as the piece it is.
std::string BuildFenText(
    const DiagramList& list, const DiagramRecord& record, bool forDisplay, bool fairyMode);

// Appends the record's operations in the order before, comment, middle, fmvn, hmvc, after. With fileMode
// the comment is escaped for a file, the counters are written as operations (unless counterOperations
// is false: the line gives them as fields), and the head of a BNX list with a start number of 2 or more
// carries "Startnum " in its comment.
void AppendEpdOperations(std::string& line, const DiagramList& list, const DiagramRecord& record,
    bool fileMode, bool counterOperations = true);

// Reads one line of a position file into a new record linked at the end of the list; the head becomes
// current. Fields may be separated by any run of blanks and tabs, and castling rights may be named by
// the corner rooks' files (HAha). The letters of the piece field are FEN letters, except in a file
// whose header says it is written in fairy form (fairyFile), or in fairy mode for a field with letters
// no FEN has: those are placed as they stand. Returns 0 when a record was made; otherwise no record is
// made and the result is a checker code (with the check on), 15 for a piece field that is not eight
// ranks of eight squares, or 1000 for a line the checker cannot read while the check is off outside fairy
// mode. A trailing line end is ignored.
LegalityCode ParsePositionLine(
    DiagramList& list, std::string_view line, bool fairyMode, bool legalCheckActive, bool fairyFile = false);

// The fields after the piece field, into a record that ParsePositionLine made; `rest` starts with the
// blank after the piece field. The line is read in its own form: FEN when the move counters follow the
// en-passant field, EPD otherwise (the head's form is the list's). Every operation is kept. first: the
// record is the list's head.
void ParseFenFields(DiagramList& list, DiagramRecord& record, std::string_view rest, bool first);

// A FEN text from the clipboard: the board goes into `scratch` (reset first, letters translated also in
// fairy mode), side, castling, en passant and counters replace those of `current`; a field the text
// does not give takes the value of a fresh diagram (White, no castling, no e.p., the list's default
// counters). Returns false, and changes nothing, when the piece field is not eight ranks of eight squares.
bool ParseFen(const DiagramList& list, DiagramRecord& scratch, DiagramRecord& current, std::string_view text);

// Runs a new checker on the record's file line, as every check before leaving or saving a diagram does.
LegalityCode CheckRecord(const DiagramList& list, const DiagramRecord& record, bool fairyMode);

// Whether what follows the en-passant field of a line is the FEN form's move counters: a number, then a
// second one or nothing. Operations whose first two words are numbers cannot follow in EPD form.
bool ReadsAsCounters(std::string_view text);

// The digits of a move counter as typed or read; every other character is dropped.
std::string CounterDigits(std::string_view text);

// Reads a piece field ("rnbqkbnr/pppppppp/...") into the board rows of the list's family; the field ends
// at the first byte outside 0x21..0x7F, and `end` receives that index. Returns false, leaving the board
// untouched, unless the field has exactly eight ranks of exactly eight squares. keepLetters places
// letters as they stand (fairy mode).
bool ReadPieceField(
    const DiagramList& list, std::string_view text, FontBoard& board, bool keepLetters, size_t& end);

} // namespace FenLine
