#pragma once

#include "DiagramList.h"
#include "ErrorList.h"

#include <array>
#include <iosfwd>
#include <string>
#include <string_view>

// The position files of a diagram list: the program's own BNX file (a header of page texts, then per
// diagram its position line and the colour, mark, flip and rotation lines), the one-line-per-position
// EPD, FEN and text files, and PGN output. The File commands and the benchmark both go through here.
namespace PositionFile {

enum class Kind { Bnx, Epd, Fen, Text, Pgn, Other };
// The kind of a lower-cased extension; anything unknown is written like EPD.
Kind KindOf(std::string_view extension);

// ---------------------------------------------------------------- writing

struct WriteOptions {
    std::string extension = "bnx"; // the kind written, lower-cased
    // Save writes a BNX diagram's first 69 mark slots as they are; Save As only the slots in use.
    bool allMarkSlots = true;
    bool fairyMode = false; // board letters are written as they stand
    bool legalPosition = true; // the LegalPosition setting, named by the header's first line
    // The nine PGN tag lines (Event ... Result, SetUp, PlyCount), written around the FEN tag.
    std::array<std::string, 9> pgnTags;
};

// A BNX file is written in fairy form (the "Fairy" header, board letters as they stand, rotation lines)
// in fairy mode and whenever the list has rotation marks.
bool FairyForm(const DiagramList& list, bool fairyMode);

// The BNX header block, lines ended by LF; false when no header is to be written. fairy: the file is
// written in fairy form.
bool BuildHeaderBlock(const DiagramList& list, bool legalPosition, bool fairy, std::string& block);

// The diagram's line in a file of the given kind, without its line end.
std::string PositionLine(DiagramList& list, const DiagramRecord& record, const WriteOptions& options);

// Whether a file of this kind, read again, gives back the whole list: a FEN file keeps no comment,
// operation, mark, coloured square, flip, rotation, start number or page text, and a PGN file is never
// read as a list.
bool HoldsWholeList(const DiagramList& list, Kind kind);

// Writes the whole list, every line ended by CR LF. Returns false when the stream failed.
bool WriteList(DiagramList& list, const WriteOptions& options, std::ostream& out);

struct SaveResult {
    bool ok = false;
    std::string reason; // why the file could not be written, in the system's words
};

// Writes into a new file in the target's folder and puts it in the target's place only when every line
// was written, so a failed save leaves the old file as it was. What a save of the same file that was cut
// short (the program killed) left beside it is removed.
SaveResult SaveToFile(DiagramList& list, const WriteOptions& options, const std::string& path);

// ---------------------------------------------------------------- reading

// No position file has lines this long: a longer line is read up to here, the rest passed over, and the
// line is listed as faulty (LineTooLong); a page text is kept up to here and the file reported corrupted.
constexpr size_t MaxLineLength = 1 << 20;

struct ReadOptions {
    std::string extension = "bnx"; // the chosen file's, lower-cased
    bool legalCheckActive = true;
    bool fairyMode = false;
    bool letterFamily2 = false;
    // The correction re-read: lines listed with a legality error are taken without the check, lines
    // that could not be read are left out; nothing new is listed.
    const OpenErrorList* correct = nullptr;
};

enum class ReadStatus {
    Ok, // the list holds what could be read (possibly nothing: see diagramsMade)
    Empty, // the file holds no line at all
    HeaderCut, // the page texts end inside a group of three lines
    NotPositionFile, // too many unreadable lines: the file holds no positions
    CannotRead, // the stream failed
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    bool headerRead = false;
    bool corrupted = false; // a colour, mark or rotation line of a wrong length ended the reading
    int lineCount = 0; // position lines read
    int diagramsMade = 0;
    int formatErrors = 0; // listed lines that could not be read at all (codes 15 and up)
    OpenErrorList errors; // the first reading's faulty lines
    // The header's option: the legality checks are off for this file, fairy chess is on.
    bool headerSwitchesLegalOff = false;
    bool headerSwitchesFairyOn = false;
    bool fairyMarks = false; // a rotation mark was read
    // Correction re-read: the error list with each taken line's diagram, and the lines that failed again.
    OpenErrorList corrected;
    std::vector<int> failedAgain;
};

// Reads a position file into `list`, which must be empty; on return the list is complete (indices,
// one page node per page at least, first diagram current) whatever the status.
ReadResult ReadList(std::istream& in, const ReadOptions& options, DiagramList& list);

// Opens and reads a file; `reason` tells why it could not be opened or read (status CannotRead).
ReadResult ReadFile(
    const std::string& path, const ReadOptions& options, DiagramList& list, std::string& reason);

// ---------------------------------------------------------------- taking a read list over

// Moves every diagram and page of `source` into `target` in place of its own (freed); start number
// and EPD mode come along. `source` is left empty.
void ReplaceList(DiagramList& target, DiagramList& source);
// Appends the diagrams of `source` after those of `target`, and its page nodes when they came from its
// header (the target's own page texts stay); every page has its node; the first diagram becomes current.
void AppendList(DiagramList& target, DiagramList& source, bool sourcePagesFromHeader);

} // namespace PositionFile
