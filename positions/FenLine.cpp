#include "FenLine.h"

#include "BoardLetters.h"
#include "EpdOperations.h"
#include "MarkEditing.h"
#include "Marks.h"
#include "PositionChecker.h"

#include <algorithm>
#include <charconv>

namespace FenLine {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}
char toLower(char c)
{
    return isUpper(c) ? static_cast<char>(c + 32) : c;
}
bool isFile(char c)
{
    return c >= 'a' && c <= 'h';
}

std::string_view withoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

// The FEN letter of a board letter, lowered first.
char fenLetter(char c, bool family2)
{
    switch (toLower(c)) {
    case 'b':
        return 'B';
    case 'k':
        return 'K';
    case 'l':
        return 'k';
    case 'm':
        return 'n';
    case 'o':
        return 'p';
    case 'p':
        return 'P';
    case 'q':
        return 'Q';
    case 'r':
        return 'R';
    case 't':
        return 'r';
    case 'v':
        return 'b';
    case 'w':
        return 'q';
    case 'n':
        return family2 ? 'b' : 'N';
    case 'h':
        return family2 ? 'N' : 'h';
    case 'j':
        return family2 ? 'n' : 'j';
    default:
        return toLower(c);
    }
}

// The board letter of a FEN letter on a square of the given colour; ' ' leaves the square empty.
// A capital that names no piece is kept as a letter, a small one is not.
char boardLetter(char fen, bool dark, bool family2, bool keepLetters)
{
    if (keepLetters) return fen;
    char light = BoardLetters::FontLetterForFen(fen, family2);
    if (!light) {
        if (!isUpper(fen)) return ' ';
        light = toLower(fen);
    }
    return BoardLetters::OnSquare(light, !dark);
}

// The two translations by table, made from the functions above: a list's lines hold tens of letters each.
struct LetterTables {
    std::array<std::array<char, 256>, 4> board; // [family2 * 2 + dark][FEN letter], for letters only
    std::array<std::array<char, 256>, 2> fen; // [family2][board letter]
};

const LetterTables& letterTables()
{
    static const LetterTables tables = [] {
        LetterTables t {};
        for (int family2 = 0; family2 < 2; ++family2)
            for (int c = 0; c < 256; ++c) {
                const char letter = static_cast<char>(c);
                t.fen[family2][c] = fenLetter(letter, family2);
                if (!isLetter(letter)) continue;
                for (int dark = 0; dark < 2; ++dark)
                    t.board[family2 * 2 + dark][c] = boardLetter(letter, dark, family2, false);
            }
        return t;
    }();
    return tables;
}

constexpr std::string_view startnum = "Startnum ";

// The comment of a list's head carries the list's start number as "Startnum N ".
std::string startNumberPrefix(int number)
{
    return std::string(startnum) + std::to_string(number) + ' ';
}

// A comment text that opens with the start number: "Startnum ", digits, then a blank or the end. Only
// this is the start number; the same word anywhere else in a comment is the user's text.
struct StartNumber {
    bool found = false;
    int number = 0;
    size_t textStart = 0; // where the comment proper begins
};

StartNumber leadingStartNumber(std::string_view text)
{
    StartNumber s;
    if (!text.starts_with(startnum)) return s;
    size_t digitsEnd = startnum.size();
    while (digitsEnd < text.size() && isDigit(text[digitsEnd])) ++digitsEnd;
    if (digitsEnd == startnum.size()) return s;
    if (digitsEnd < text.size() && text[digitsEnd] != ' ') return s;
    s.found = true;
    auto [ptr, ec] = std::from_chars(text.data() + startnum.size(), text.data() + digitsEnd, s.number);
    if (ec != std::errc()) s.number = 0;
    s.textStart = std::min(text.size(), digitsEnd + 1);
    return s;
}

// The display text of the head: the fields with the start-number operation taken out.
std::string withoutStartNumber(std::string copy)
{
    // The operation is a comment opcode, a blank and the quote, then the start number.
    size_t at = copy.find(startnum);
    for (; at != std::string::npos; at = copy.find(startnum, at + 1)) {
        if (at >= 4 && copy[at - 4] == 'c' && isDigit(copy[at - 3]) && copy[at - 2] == ' '
            && copy[at - 1] == '"' && leadingStartNumber(std::string_view(copy).substr(at)).found)
            break;
    }
    if (at == std::string::npos) return copy;
    const size_t from = at - 4;
    size_t to = at + leadingStartNumber(std::string_view(copy).substr(at)).textStart;
    // The quote and ';' that close a comment holding nothing but the start number go too.
    if (to < copy.size() && copy[to] == '"') to = std::min(copy.size(), to + 2);
    copy.erase(from, to - from);
    return copy;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// The castling field, with rights named by the rook's file read for the rooks in the corners: 'H' and
// 'A' are White's king and queen side, 'h' and 'a' Black's. Files other than the corners name rooks this
// program cannot castle with. A field that is no castling field at all stays as it is.
std::string castlingField(std::string_view field)
{
    if (field.find_first_not_of("KQkqABCDEFGHabcdefgh-") != std::string_view::npos) return std::string(field);
    bool whiteShort = false, whiteLong = false, blackShort = false, blackLong = false;
    for (char c : field) {
        whiteShort |= c == 'K' || c == 'H';
        whiteLong |= c == 'Q' || c == 'A';
        blackShort |= c == 'k' || c == 'h';
        blackLong |= c == 'q' || c == 'a';
    }
    std::string out;
    if (whiteShort) out += 'K';
    if (whiteLong) out += 'Q';
    if (blackShort) out += 'k';
    if (blackLong) out += 'q';
    return out.empty() ? "-" : out;
}

// The line with its first four fields as this program writes them: leading blanks gone, any run of
// blanks and tabs between the fields one blank, the castling field in KQkq letters. What follows the
// en-passant field is kept as it stands, after one blank.
std::string normalisedFields(std::string_view line)
{
    const size_t n = line.size();
    size_t p = 0;
    std::string out;
    out.reserve(n);
    for (int field = 0; field < 4; ++field) {
        while (p < n && isBlank(line[p])) ++p;
        if (p == n) return out;
        if (field > 0) out += ' ';
        const size_t start = p;
        while (p < n && !isBlank(line[p])) ++p;
        std::string_view token = line.substr(start, p - start);
        if (field == 2)
            out += castlingField(token);
        else
            out += token;
    }
    while (p < n && isBlank(line[p])) ++p;
    if (p < n) {
        out += ' ';
        out += line.substr(p);
    }
    return out;
}

// Whether normalisedFields gives the line back as it stands: no blank in front, one blank between the
// fields and before what follows them, the castling field in KQkq letters. Most lines are; they are read
// without a copy.
bool isNormalised(std::string_view line)
{
    const size_t n = line.size();
    size_t p = 0;
    for (int field = 0; field < 4; ++field) {
        if (p == n) return true;
        if (field > 0) {
            if (line[p] != ' ' || p + 1 == n || isBlank(line[p + 1])) return false;
            ++p;
        } else if (isBlank(line[p])) {
            return false;
        }
        const size_t start = p;
        while (p < n && !isBlank(line[p])) ++p;
        const std::string_view token = line.substr(start, p - start);
        if (field == 2 && castlingField(token) != token) return false;
    }
    return p == n || (line[p] == ' ' && p + 1 < n && !isBlank(line[p + 1]));
}

// Whether every letter of the piece field is a FEN letter: files of other programs, and this program's
// own EPD and FEN files, have nothing else. A field with other letters was written in fairy mode by an
// older version, with the board letters as they stood.
bool onlyFenLetters(std::string_view field)
{
    for (char c : field) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x21 || u > 0x7F) break;
        if (isLetter(c) && std::string_view("KQRBNPkqrbnp").find(c) == std::string_view::npos) return false;
    }
    return true;
}

} // namespace

bool ReadPieceField(
    const DiagramList& list, std::string_view text, FontBoard& board, bool keepLetters, size_t& end)
{
    size_t fieldEnd = 0;
    int slashes = 0;
    while (fieldEnd < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[fieldEnd]);
        if (c < 0x21 || c > 0x7F) break;
        if (c == '/') ++slashes;
        ++fieldEnd;
    }
    if (slashes != 7) return false;

    // Built on a clean board of the list's family, so a template left dirty by a caller cannot leak in.
    FontBoard rows = BoardLetters::EmptyBoard(list.m_bLetterFamily2);
    const auto& letters = letterTables().board;
    const size_t family = list.m_bLetterFamily2 ? 2 : 0;
    size_t pos = 0;
    for (int row = 0; row < 8; ++row, ++pos) {
        int count = 0;
        for (; pos < fieldEnd && text[pos] != '/'; ++pos) {
            char c = text[pos];
            if (isDigit(c)) {
                count += c - '0';
                if (count > 8) return false;
            } else if (isLetter(c)) {
                if (count >= 8) return false;
                int cell = count + 1;
                bool dark = !BoardLetters::IsLightSquare(row, cell);
                char letter = keepLetters ? c : letters[family + dark][static_cast<unsigned char>(c)];
                if (letter != ' ') rows[row][cell] = letter;
                ++count;
            }
            // Any other character is passed over and fills no square.
        }
        if (count != 8) return false;
    }
    board = rows;
    end = fieldEnd;
    return true;
}

std::string BuildFenText(
    const DiagramList& list, const DiagramRecord& record, bool forDisplay, bool fairyMode)
{
    // The piece field is made in place: eight ranks of at most eight characters and their separators.
    char field[8 * 9];
    size_t n = 0;
    const auto& letters = letterTables().fen[list.m_bLetterFamily2 ? 1 : 0];
    const bool turned = record.rotations.Any();
    for (int row = 0; row < 8; ++row) {
        int blanks = 0;
        for (int cell = 1; cell <= 8; ++cell) {
            char c = record.board[row][cell];
            if (c == ' ' || c == '+') {
                ++blanks;
                continue;
            }
            if (blanks) field[n++] = static_cast<char>('0' + blanks);
            blanks = 0;
            if (fairyMode) {
                field[n++] = c;
                continue;
            }
            // A turned piece is still the piece: FEN has no rotation.
            if (turned && !BoardLetters::IsLightSquare(row, cell))
                c = MarkEditing::UprightFairyLetter(c, record.rotations[row][cell]);
            field[n++] = letters[static_cast<unsigned char>(c)];
        }
        if (blanks) field[n++] = static_cast<char>('0' + blanks);
        field[n++] = row < 7 ? '/' : ' ';
    }
    std::string out;
    out.reserve(96);
    out.append(field, n);
    out += record.blackToMove ? "b " : "w ";
    if (record.castleWhiteShort) out += 'K';
    if (record.castleWhiteLong) out += 'Q';
    if (record.castleBlackShort) out += 'k';
    if (record.castleBlackLong) out += 'q';
    if (!record.castleWhiteShort && !record.castleWhiteLong && !record.castleBlackShort
        && !record.castleBlackLong)
        out += '-';
    out += ' ';
    if (!record.enPassantFile.empty() && isFile(record.enPassantFile[0])) {
        out += record.enPassantFile[0];
        out += record.blackToMove ? '3' : '6';
    } else {
        out += '-';
    }
    if (forDisplay || list.m_strExtension == "fen") {
        out += ' ';
        out += record.halfmoveClock.empty() ? std::string_view("0") : record.halfmoveClock.view();
        out += ' ';
        out += record.fullmoveNumber.empty() ? std::string_view("1") : record.fullmoveNumber.view();
    }
    return out;
}

void AppendEpdOperations(std::string& line, const DiagramList& list, const DiagramRecord& record,
    bool fileMode, bool counterOperations)
{
    const bool firstWithStartNumber = fileMode && list.m_strExtension == "bnx"
        && &record == list.m_pFirstDiagram && list.m_nStartNumber >= 2;
    // An operation whose quote is never closed ran to the end of its line, and is written there again.
    std::string unclosed;
    auto appendGroup = [&](std::string_view group) {
        if (group.empty()) return;
        size_t pos = 0;
        if (group.find('"') == std::string_view::npos) {
            // Without quotes every ';' ends an operation.
            pos = group.rfind(';') + 1;
        } else {
            while (pos < group.size()) {
                size_t end = OperationEnd(group, pos);
                if (end == std::string::npos) break;
                pos = end + 1;
            }
        }
        if (pos > 0) {
            line += ' ';
            line += group.substr(0, pos);
        }
        if (pos < group.size()) {
            unclosed += ' ';
            unclosed += group.substr(pos);
        }
    };
    appendGroup(record.epdOpsBefore);

    // A head whose own comment opens like a start number gets the real one in front, so that the reader
    // takes the number from it and leaves the comment whole.
    const bool guard
        = fileMode && &record == list.m_pFirstDiagram && leadingStartNumber(record.comment).found;
    if (record.comment.empty()) {
        if (firstWithStartNumber) line += " c0 \"" + startNumberPrefix(list.m_nStartNumber) + "\";";
    } else {
        std::string text;
        if (firstWithStartNumber || guard)
            text = startNumberPrefix(list.m_strExtension == "bnx" ? list.m_nStartNumber : 1);
        text += record.comment;
        if (fileMode) text = EscapeCommentForFile(text, list.m_strExtension == "epd");
        line += ' ';
        line += record.commentOpcode;
        line += " \"";
        line += text;
        line += "\";";
    }

    appendGroup(record.epdOpsMiddle);
    if (fileMode && counterOperations) {
        if (!record.fullmoveNumber.empty()) {
            line += " fmvn ";
            line += record.fullmoveNumber;
            line += ';';
        }
        if (!record.halfmoveClock.empty()) {
            line += " hmvc ";
            line += record.halfmoveClock;
            line += ';';
        }
    }
    appendGroup(record.epdOpsAfter);
    line += unclosed;
}

LegalityCode ParsePositionLine(
    DiagramList& list, std::string_view line, bool fairyMode, bool legalCheckActive, bool fairyFile)
{
    line = withoutLineEnd(line);
    const bool normal = isNormalised(line);
    const std::string normalised = normal ? std::string() : normalisedFields(line);
    const std::string_view text = normal ? line : std::string_view(normalised);
    if (legalCheckActive) {
        PositionChecker checker;
        LegalityCode code = checker.CheckFenPosition(text);
        if (code > 0) return code;
    } else if (!fairyMode) {
        PositionChecker checker;
        if (Legality::IsUnreadable(checker.CheckFenPosition(text))) return Legality::SkippedLine;
    }

    FontBoard board;
    size_t end = 0;
    const bool keepLetters = fairyFile || (fairyMode && !onlyFenLetters(text));
    if (!ReadPieceField(list, text, board, keepLetters, end)) return Legality::SlashCount;

    const bool first = !list.m_bHasDiagrams;
    auto* record = new DiagramRecord;
    record->board = board;
    ParseFenFields(list, *record, std::string_view(text).substr(end), first);
    return Legality::Ok;
}

void ParseFenFields(DiagramList& list, DiagramRecord& record, std::string_view rest, bool first)
{
    rest = withoutLineEnd(rest);
    list.ResetDiagram(&record, 0);
    if (first) list.m_bListAllocated = true;

    // What the diagram shows under it: the fields as the line has them, up to the end of its first
    // operation, or for the head everything but the start number.
    if (first) {
        record.displayComment = withoutStartNumber(UnescapeComment(rest));
    } else {
        size_t cut = OperationEnd(rest, 0);
        const std::string_view shown = rest.substr(0, cut);
        if (HasEscapes(shown))
            record.displayComment = UnescapeComment(shown);
        else
            record.displayComment = shown;
    }

    // Fields are separated by runs of blanks and tabs; what is left of the piece field is passed over.
    const size_t n = rest.size();
    size_t p = 0;
    while (p < n && !isBlank(rest[p])) ++p;
    auto nextField = [&]() {
        while (p < n && isBlank(rest[p])) ++p;
        const size_t start = p;
        while (p < n && !isBlank(rest[p])) ++p;
        return rest.substr(start, p - start);
    };

    std::string_view side = nextField();
    if (!side.empty()) record.blackToMove = side[0] != 'w';
    for (char c : nextField()) {
        if (c == 'K') record.castleWhiteShort = 1;
        if (c == 'Q') record.castleWhiteLong = 1;
        if (c == 'k') record.castleBlackShort = 1;
        if (c == 'q') record.castleBlackLong = 1;
    }
    std::string_view enPassant = nextField();
    // Only a file names an en-passant square; anything else means none.
    if (!enPassant.empty() && isFile(enPassant[0])) {
        record.enPassantFile = std::string(1, enPassant[0]);
        if (first) Marks::AddDoubleStepArrow(record, enPassant[0], record.blackToMove != 0);
    }

    // Each line by its own form: FEN when the move counters follow, EPD otherwise. Operations may follow
    // either.
    const size_t afterEnPassant = p;
    const bool fenForm = ReadsAsCounters(rest.substr(p));
    std::string_view halfmove = nextField();
    std::string_view fullmove = nextField();
    if (first) list.m_bEpdMode = !fenForm || list.m_strExtension == "bnx";
    record.fenForm = fenForm ? 1 : 0;
    if (fenForm) {
        record.halfmoveClock = std::string(halfmove);
        // A line that ends with the halfmove clock is at move 1, as a FEN line without counters is.
        record.fullmoveNumber = fullmove.empty() ? "1" : std::string(fullmove);
    } else {
        // An EPD line gives its counters as operations, or none.
        record.halfmoveClock.clear();
        record.fullmoveNumber.clear();
        p = afterEnPassant;
    }
    while (p < n && isBlank(rest[p])) ++p;

    EpdOperations ops = ParseEpdOperations(rest.substr(p), list.m_strExtension == "epd", !fenForm);
    record.epdOpsBefore = ops.before;
    record.epdOpsMiddle = ops.middle;
    record.epdOpsAfter = ops.after;
    StartNumber start = first ? leadingStartNumber(ops.comment) : StartNumber {};
    if (start.found) {
        if (start.number != 0) list.m_nStartNumber = std::min(start.number, DiagramList::MaxStartNumber);
        record.comment = ops.comment.substr(start.textStart);
    } else {
        record.comment = ops.comment;
    }
    record.commentOpcode = ops.opcode;
    if (!ops.fmvn.empty()) record.fullmoveNumber = ops.fmvn;
    if (!ops.hmvc.empty()) record.halfmoveClock = ops.hmvc;

    if (first) {
        record.previous = record.next = nullptr;
        list.m_pFirstDiagram = list.m_pLastDiagram = &record;
        list.m_bHasDiagrams = true;
    } else {
        record.previous = list.m_pLastDiagram;
        record.next = nullptr;
        if (list.m_pLastDiagram) list.m_pLastDiagram->next = &record;
        list.m_pLastDiagram = &record;
    }
    list.m_pCurrentDiagram = list.m_pFirstDiagram;
}

bool ParseFen(const DiagramList& list, DiagramRecord& scratch, DiagramRecord& current, std::string_view text)
{
    text = withoutLineEnd(text);
    FontBoard board;
    size_t end = 0;
    if (!ReadPieceField(list, text, board, false, end)) return false;
    list.ResetDiagram(&scratch, 0);
    scratch.board = board;

    // Each field after the piece field; a field the text does not give takes its reset value, so nothing
    // of the diagram that was there before survives next to the pasted board.
    size_t p = end;
    auto nextField = [&]() -> std::string_view {
        if (p >= text.size()) return {};
        ++p; // the blank that ends the previous field
        size_t stop = text.find(' ', p);
        if (stop == std::string_view::npos) stop = text.size();
        std::string_view field = text.substr(p, stop - p);
        p = stop;
        return field;
    };
    DiagramRecord reset;
    list.ResetDiagram(&reset, 0);
    const bool hasSide = p < text.size();
    std::string_view side = nextField();
    current.blackToMove = hasSide ? (side.empty() || side[0] != 'w') : reset.blackToMove;
    std::string_view castling = nextField();
    current.castleWhiteShort = castling.find('K') != std::string_view::npos;
    current.castleWhiteLong = castling.find('Q') != std::string_view::npos;
    current.castleBlackShort = castling.find('k') != std::string_view::npos;
    current.castleBlackLong = castling.find('q') != std::string_view::npos;
    std::string_view enPassant = nextField();
    if (!enPassant.empty() && isFile(enPassant[0]))
        current.enPassantFile = std::string(1, enPassant[0]);
    else
        current.enPassantFile.clear();
    const bool hasHalfmove = p < text.size();
    std::string_view halfmove = nextField();
    if (!hasHalfmove)
        current.halfmoveClock = reset.halfmoveClock;
    else
        current.halfmoveClock = halfmove.starts_with('-') ? "0" : CounterDigits(halfmove);
    if (p < text.size()) {
        std::string_view fullmove = text.substr(p + 1);
        if (fullmove.starts_with('-')) {
            current.fullmoveNumber = "0";
        } else {
            size_t digits = 0;
            while (digits < fullmove.size() && isDigit(fullmove[digits])) ++digits;
            current.fullmoveNumber = std::string(fullmove.substr(0, digits));
        }
    } else {
        current.fullmoveNumber = reset.fullmoveNumber;
    }
    return true;
}

LegalityCode CheckRecord(const DiagramList& list, const DiagramRecord& record, bool fairyMode)
{
    PositionChecker checker;
    return checker.CheckFenPosition(BuildFenText(list, record, false, fairyMode));
}

bool ReadsAsCounters(std::string_view text)
{
    size_t p = 0;
    auto nextField = [&]() {
        while (p < text.size() && isBlank(text[p])) ++p;
        const size_t start = p;
        while (p < text.size() && !isBlank(text[p])) ++p;
        return text.substr(start, p - start);
    };
    std::string_view halfmove = nextField();
    std::string_view fullmove = nextField();
    return allDigits(halfmove) && (fullmove.empty() || allDigits(fullmove));
}

std::string CounterDigits(std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (isDigit(c)) digits += c;
    return digits;
}

} // namespace FenLine
