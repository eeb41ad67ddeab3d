#include "PositionFile.h"

#include "storage/AtomicFile.h"
#include "BoardLetters.h"
#include "FenLine.h"
#include "MarkEditing.h"
#include "Marks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <unistd.h>
#include <vector>

namespace PositionFile {

namespace {

constexpr std::string_view headerStart = "HEADER_PRINT";
constexpr std::string_view headerOption = "HEADER_PRINT_X";
constexpr std::string_view headerEnd = "HEADER_PRINT_END";
constexpr int maxWrittenMarks = 69;
constexpr int maxMarkLines = 70; // mark lines and the flip line together

// The line's form and its operations follow the extension of the file being written or read; the
// list's own extension changes only once the file has been dealt with.
class ExtensionScope {
public:
    ExtensionScope(DiagramList& list, const std::string& extension)
        : list(list)
        , saved(list.m_strExtension)
    {
        list.m_strExtension = extension;
    }
    ~ExtensionScope() { list.m_strExtension = saved; }
    ExtensionScope(const ExtensionScope&) = delete;
    ExtensionScope& operator=(const ExtensionScope&) = delete;

private:
    DiagramList& list;
    std::string saved;
};

// A list's lines are mostly numbers of one or two digits; they are written without a detour through a
// string of their own.
void appendNumber(std::string& out, int value)
{
    if (value >= 0 && value < 100) {
        char digits[3];
        size_t n = 0;
        if (value >= 10) digits[n++] = static_cast<char>('0' + value / 10);
        digits[n++] = static_cast<char>('0' + value % 10);
        digits[n++] = ' ';
        out.append(digits, n);
        return;
    }
    out += std::to_string(value);
    out += ' ';
}

constexpr std::string_view zeroCellLine = "0 0 0 0 0 0 0 0 0 0 0 0 \r\n";

void appendCellLine(std::string& out, const CellRow& cells)
{
    if (cells == CellRow {}) {
        out += zeroCellLine;
        return;
    }
    for (int8_t value : cells) appendNumber(out, value);
    out += "\r\n";
}

const std::string& zeroCellLines()
{
    static const std::string lines = [] {
        std::string text;
        for (int i = 0; i < 8; ++i) text += zeroCellLine;
        return text;
    }();
    return lines;
}

constexpr std::string_view freeMarkLine = "0 0 0 \r\n";

// The line of a free slot, as many times as a diagram may need it.
const std::string& freeMarkLines()
{
    static const std::string lines = [] {
        std::string text;
        for (int i = 0; i < maxWrittenMarks; ++i) text += freeMarkLine;
        return text;
    }();
    return lines;
}

// Every line break of a page text is kept as '*', so each text stays one line of the file (a CR before
// it stays in place, and a lone CR becomes a CR LF break); a '*' of the text itself, and the byte 0x87,
// are written after 0x87, and so is the first letter of a text that would read as the header's end.
constexpr char pageEscape = static_cast<char>(0x87);

std::string escapePageText(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 1);
    if (std::string_view(text).starts_with(headerEnd)) out += pageEscape;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n') {
            out += '*';
            continue;
        }
        if (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            out += "\r*";
            continue;
        }
        if (c == '*' || c == pageEscape) out += pageEscape;
        out += c;
    }
    return out;
}

std::string unescapePageText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    if (text.size() > headerEnd.size() && text[0] == pageEscape
        && std::string_view(text).substr(1).starts_with(headerEnd))
        i = 1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == pageEscape && i + 1 < text.size() && (text[i + 1] == '*' || text[i + 1] == pageEscape))
            out += text[++i];
        else
            out += c == '*' ? '\n' : c;
    }
    return out;
}

// The fields and operations of a line that carries its operations: in EPD form, with the counters as
// operations, unless fenForm asks for them as fields, or the operations would read as counters.
std::string lineWithOperations(
    const DiagramList& list, const DiagramRecord& record, bool fenForm, bool lettersAsTheyStand)
{
    std::string operations;
    if (!fenForm) {
        FenLine::AppendEpdOperations(operations, list, record, true);
        if (!FenLine::ReadsAsCounters(operations))
            return FenLine::BuildFenText(list, record, false, lettersAsTheyStand) + operations;
        operations.clear();
    }
    FenLine::AppendEpdOperations(operations, list, record, true, false);
    return FenLine::BuildFenText(list, record, true, lettersAsTheyStand) + operations;
}

std::string lineOf(DiagramList& list, const DiagramRecord& record, const WriteOptions& options, Kind kind)
{
    std::string line;
    if (kind == Kind::Pgn) {
        // The FEN tag of a PGN game is read by other programs: six fields in the standard letters.
        line = FenLine::BuildFenText(list, record, true, false);
    } else if (kind == Kind::Fen) {
        // A FEN line never has operations.
        line = FenLine::BuildFenText(list, record, false, false);
    } else if (kind == Kind::Bnx) {
        // A BNX line always carries the comment and the counters; in fairy form the letters as they stand.
        line = lineWithOperations(list, record, false, options.fairyMode);
    } else {
        // EPD and text files are read by other programs: FEN letters, and every line in the form it was
        // read in, so the counters of a FEN-form line stay fields in a list of that form.
        line = lineWithOperations(list, record, record.fenForm && !list.m_bEpdMode, false);
    }
    // A line break inside a text would split the diagram's line in two.
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

void appendBlock(std::string& out, const DiagramRecord& record, bool allMarkSlots, bool rotations)
{
    if (record.colours.Any())
        for (const auto& row : record.colours) appendCellLine(out, row);
    else
        out += zeroCellLines();
    out += "\r\n";
    int written = 0;
    // With the user's full 69 marks and the automatic arrow the file has no line for the arrow, which
    // the reader makes again from the en-passant file.
    const bool dropAutomatic = MarkEditing::UsedMarkSlots(record) > maxWrittenMarks;
    auto kept = [&](const MarkSlot& slot) {
        return slot.from != 0 && !(dropAutomatic && slot.type == MarkDoubleStep);
    };
    const size_t stored = record.marks.Stored();
    int marksLeft = 0;
    for (size_t i = 0; i < stored; ++i) marksLeft += kept(record.marks[i]) ? 1 : 0;
    for (size_t i = 0; i < stored; ++i) {
        const MarkSlot slot = record.marks[i];
        if (written == maxWrittenMarks) break;
        if (kept(slot)) {
            --marksLeft;
        } else {
            // Save writes the free slots as they stand, as long as every mark after them still has a line.
            if (!allMarkSlots || slot.from != 0 || maxWrittenMarks - written <= marksLeft) continue;
        }
        appendNumber(out, slot.from);
        appendNumber(out, slot.to);
        appendNumber(out, slot.type);
        out += "\r\n";
        ++written;
    }
    // The slots after the stored ones are free, and no mark follows them.
    if (allMarkSlots && written < maxWrittenMarks)
        out.append(freeMarkLines(), 0, static_cast<size_t>(maxWrittenMarks - written) * freeMarkLine.size());
    out += record.flipped ? '1' : '0';
    out += ' ';
    out += record.warningsAccepted ? '1' : '0';
    out += "\r\n";
    if (rotations)
        for (const auto& row : record.rotations) appendCellLine(out, row);
}

// ---------------------------------------------------------------- reading helpers

// Lines up to MaxLineLength characters. LF, CR LF and a lone CR all end a line, in any mix, since files
// pass through programs of every system; a run of CRs before an LF is one line end, as a CR LF written
// through a text-mode stream becomes. The one CR this program writes inside a line is the one before the
// '*' of a line break in a page text: while page texts are read (pageTexts), a CR followed by '*' is a
// character. A last line needs no line end, and a UTF-8 byte-order mark in front of the first line is no
// part of it. What a line holds beyond the limit is passed over without being kept, and the line is
// marked as too long.
class LineReader {
public:
    explicit LineReader(std::istream& in)
        : in(in)
        , buffer(1 << 18)
    {
    }
    bool Next(std::string& line)
    {
        line.clear();
        tooLong = false;
        if (!available(1)) return false;
        for (;;) {
            if (!available(1)) break;
            const char* start = buffer.data() + pos;
            const char* end = buffer.data() + length;
            const char* p = start;
            while (p < end && *p != '\n' && *p != '\r') ++p;
            keep(line, start, static_cast<size_t>(p - start));
            pos = static_cast<size_t>(p - buffer.data());
            if (pos == length) continue;
            if (buffer[pos] == '\n') {
                ++pos;
                break;
            }
            if (pageTexts && available(2) && buffer[pos + 1] == '*') {
                keep(line, "\r", 1);
                ++pos;
                continue;
            }
            size_t crs = 1;
            while (crs < maxCrRun && available(crs + 1) && buffer[pos + crs] == '\r') ++crs;
            pos += available(crs + 1) && buffer[pos + crs] == '\n' ? crs + 1 : 1;
            break;
        }
        if (first) {
            first = false;
            if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        }
        return true;
    }
    // The next line as a view into the reader's buffer, valid up to the next call. A line that ends with
    // an LF or a CR LF inside the buffer is not copied; any other goes through Next.
    bool NextView(std::string_view& view)
    {
        if (!first && !pageTexts && pos < length) {
            const char* start = buffer.data() + pos;
            const char* end = buffer.data() + length;
            const char* p = start;
            while (p < end && *p != '\n' && *p != '\r') ++p;
            const size_t n = static_cast<size_t>(p - start);
            const size_t lineEnd = p == end ? 0 : *p == '\n' ? 1 : p + 1 < end && p[1] == '\n' ? 2 : 0;
            if (lineEnd && n <= MaxLineLength) {
                view = { start, n };
                tooLong = false;
                pos += n + lineEnd;
                return true;
            }
        }
        if (!Next(spare)) return false;
        view = spare;
        return true;
    }
    // Passes over the next lines, up to `most` of them, as long as each is `line` (line end included), and
    // returns how many. `lines` holds that line `most` times or more. A diagram's block is mostly lines of
    // zeros, which need no reading.
    size_t SkipLines(std::string_view line, std::string_view lines, size_t most)
    {
        if (first || pageTexts) return 0;
        available(line.size() * most);
        size_t n = std::min(most, (length - pos) / line.size());
        const char* at = buffer.data() + pos;
        // Mostly the whole run is there; otherwise the lines that are.
        if (std::memcmp(at, lines.data(), n * line.size()) != 0) {
            size_t same = 0;
            while (same < n && std::memcmp(at + same * line.size(), line.data(), line.size()) == 0) ++same;
            n = same;
        }
        pos += n * line.size();
        if (n) tooLong = false;
        return n;
    }
    bool failed = false;
    bool tooLong = false; // the last line read was longer than MaxLineLength; it was cut there
    bool pageTexts = false;

private:
    static constexpr size_t maxCrRun = 4;

    // Whether n bytes from pos are in the buffer, reading more when they are not.
    bool available(size_t n)
    {
        if (length - pos >= n) return true;
        if (ended) return false;
        std::memmove(buffer.data(), buffer.data() + pos, length - pos);
        length -= pos;
        pos = 0;
        while (length < n && !ended) {
            if (!in) {
                ended = true;
                break;
            }
            in.read(buffer.data() + length, static_cast<std::streamsize>(buffer.size() - length));
            const size_t got = static_cast<size_t>(in.gcount());
            if (in.bad()) failed = true;
            if (got == 0) ended = true;
            length += got;
        }
        return length - pos >= n;
    }
    void keep(std::string& line, const char* text, size_t n)
    {
        const size_t room = MaxLineLength - std::min(MaxLineLength, line.size());
        if (n > room) {
            tooLong = true;
            n = room;
        }
        line.append(text, n);
    }
    std::istream& in;
    std::vector<char> buffer;
    std::string spare;
    size_t pos = 0;
    size_t length = 0;
    bool ended = false;
    bool first = true;
};

// The length of a line as the file's grammar counts it: its characters and one line end.
size_t grammarLength(std::string_view line)
{
    return line.size() + 1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A colour or rotation line: twelve one-digit cells, each followed by a blank.
bool readCellLine(std::string_view line, int maxValue, CellRow& cells, bool& badValue)
{
    if (grammarLength(line) != 25) return false;
    for (size_t i = 0; i < 12; ++i) {
        char c = line[2 * i];
        int value = isDigit(c) ? c - '0' : 0;
        if (value > maxValue) {
            badValue = true;
            value = 0;
        }
        cells[i] = static_cast<int8_t>(value);
    }
    return true;
}

bool validMarkType(int type)
{
    return (type >= MarkGreen && type <= MarkSquare2) || (type >= MarkNumberZero && type <= MarkNumberLast);
}

// A mark line "from to type ": three numbers of one or two digits, each ended by a blank.
bool readMarkLine(std::string_view line, MarkSlot& slot)
{
    int values[3] = { 0, 0, 0 };
    size_t pos = 0;
    for (int& value : values) {
        size_t digits = 0;
        for (; pos < line.size() && line[pos] != ' '; ++pos, ++digits) {
            if (digits == 2 || !isDigit(line[pos])) return false;
            value = value * 10 + (line[pos] - '0');
        }
        if (digits == 0) return false;
        ++pos;
    }
    const int from = values[0], to = values[1], type = values[2];
    if (from > 64 || to > 64) return false;
    // A free slot keeps the type of the mark that was taken away.
    if (from != 0 && !validMarkType(type)) return false;
    if (from == 0 && type != 0 && !validMarkType(type)) return false;
    slot = { static_cast<uint8_t>(from), static_cast<uint8_t>(to), static_cast<uint8_t>(type) };
    return true;
}

enum class BlockEnd { Complete, EndOfFile, Corrupted };

// The eight colour or rotation lines of a diagram; `nonZero` counts the cells that are not 0.
BlockEnd readCells(LineReader& reader, int maxValue, CellValues& cells, bool& badValue, int& nonZero)
{
    std::string_view line;
    for (size_t i = 0; i < 8; ++i) {
        if (size_t skipped = reader.SkipLines(zeroCellLine, zeroCellLines(), 8 - i)) {
            i += skipped - 1;
            continue;
        }
        CellRow row;
        if (!reader.NextView(line)) return BlockEnd::EndOfFile;
        if (!readCellLine(line, maxValue, row, badValue)) return BlockEnd::Corrupted;
        cells.SetRow(i, row);
        for (int8_t v : row)
            if (v) ++nonZero;
    }
    return BlockEnd::Complete;
}

// The lines that follow a BNX position line. `record` is null when the line made no diagram: the block is
// read and dropped. Only checked values are stored.
BlockEnd readBlock(
    LineReader& reader, DiagramRecord* record, bool rotations, bool& badValue, bool& fairyMarks)
{
    std::optional<DiagramRecord> dropped;
    DiagramRecord& r = record ? *record : dropped.emplace();
    std::string_view line;
    int coloured = 0;
    const BlockEnd colours = readCells(reader, 4, r.colours, badValue, coloured);
    r.colouredCount = static_cast<uint8_t>(coloured);
    if (colours != BlockEnd::Complete) return colours;
    if (!reader.NextView(line)) return BlockEnd::EndOfFile;

    // The file's marks are the diagram's marks, the double-step arrow included; those read before a file
    // that ends early stay too.
    std::array<MarkSlot, MaxMarks> marks {};
    r.markCount = 0;
    size_t slot = 0;
    size_t used = 0; // the slots after this one are free
    auto keepMarks = [&](BlockEnd end) {
        r.marks.Assign(marks.data(), used);
        return end;
    };
    for (int examined = 0; examined < maxMarkLines; ++examined) {
        if (size_t skipped = reader.SkipLines(freeMarkLine, freeMarkLines(), maxMarkLines - examined)) {
            // Free slots; the table is all free to begin with.
            slot = std::min(marks.size(), slot + skipped);
            examined += static_cast<int>(skipped) - 1;
            continue;
        }
        if (!reader.NextView(line)) return keepMarks(BlockEnd::EndOfFile);
        const size_t length = grammarLength(line);
        if (length == 4 || length == 2) {
            int number = 0;
            for (size_t i = 0; i < line.size() && isDigit(line[i]); ++i)
                number = number * 10 + (line[i] - '0');
            r.flipped = number != 0 ? 1 : 0;
            if (length == 4 && line[1] == ' ') r.warningsAccepted = line[2] != '0' ? 1 : 0;
            break;
        }
        if (length < 7 || length > 11) return keepMarks(BlockEnd::Corrupted);
        MarkSlot mark;
        if (!readMarkLine(line, mark)) {
            badValue = true;
            continue;
        }
        if (slot < marks.size()) {
            marks[slot++] = mark;
            if (mark.from != 0) ++r.markCount;
            if (mark != MarkSlot {}) used = slot;
        }
    }
    keepMarks(BlockEnd::Complete);
    // A diagram saved with the user's full 69 marks has no line for its automatic arrow: it is made again
    // from the en-passant file, as arriving at the diagram would make it.
    if (!r.enPassantFile.empty() && r.markCount >= maxWrittenMarks
        && std::none_of(r.marks.begin(), r.marks.end(),
            [](const MarkSlot& m) { return m.from != 0 && m.type == MarkDoubleStep; }))
        Marks::AddDoubleStepArrow(r, r.enPassantFile[0], r.blackToMove != 0);

    if (rotations) {
        int turned = 0;
        const BlockEnd end = readCells(reader, 5, r.rotations, badValue, turned);
        if (turned) fairyMarks = true;
        return end;
    }
    return BlockEnd::Complete;
}

int countPages(const DiagramList& list)
{
    int n = 0;
    for (PrintHeaderNode* p = list.m_pFirstPage; p; p = p->next) ++n;
    return n;
}

// Every page of nine diagrams has its node; nodes the header gave beyond that stay.
void topUpPages(DiagramList& list)
{
    list.UpdatePageCount();
    for (int n = countPages(list); n < list.m_nPageCount; ++n)
        list.AddHeaderNode(list.m_pLastPage != nullptr, false);
}

void finishList(DiagramList& list, int count)
{
    list.m_nLastIndex = count - 1;
    topUpPages(list);
    list.m_pCurrentDiagram = list.m_pFirstDiagram;
    list.m_nCurrentIndex = 0;
    list.m_pCurrentPage = list.m_pFirstPage;
}

// Writes through a file descriptor and keeps the reason of the first failure.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd)
        : fd(fd)
        , buffer(1 << 20)
    {
        setp(buffer.data(), buffer.data() + buffer.size());
    }
    int error = 0;

protected:
    int_type overflow(int_type c) override
    {
        if (!flushBuffer()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushBuffer() ? 0 : -1; }

private:
    bool flushBuffer()
    {
        const char* p = pbase();
        while (p < pptr()) {
            ssize_t n = ::write(fd, p, static_cast<size_t>(pptr() - p));
            if (n < 0) {
                if (errno == EINTR) continue;
                error = errno;
                return false;
            }
            p += n;
        }
        // The disk starts on what is written while the rest is made, so that the save's closing fsync
        // finds little left to wait for. Only a hint: a file system without it is synced all the same.
        const off_t written = static_cast<off_t>(pptr() - pbase());
        if (written > 0) ::sync_file_range(fd, offset, written, SYNC_FILE_RANGE_WRITE);
        offset += written;
        setp(buffer.data(), buffer.data() + buffer.size());
        return true;
    }
    int fd;
    off_t offset = 0;
    std::vector<char> buffer;
};

// Links the chain otherFirst..otherLast after `last`.
template <typename Node> void chain(Node*& first, Node*& last, Node* otherFirst, Node* otherLast)
{
    if (last) {
        last->next = otherFirst;
        otherFirst->previous = last;
    } else {
        first = otherFirst;
    }
    last = otherLast;
}

std::string reasonOf(int error)
{
    return std::strerror(error);
}

} // namespace

Kind KindOf(std::string_view extension)
{
    if (extension == "bnx") return Kind::Bnx;
    if (extension == "epd") return Kind::Epd;
    if (extension == "fen") return Kind::Fen;
    if (extension == "txt") return Kind::Text;
    if (extension == "pgn") return Kind::Pgn;
    return Kind::Other;
}

bool FairyForm(const DiagramList& list, bool fairyMode)
{
    return fairyMode || list.m_bFairyMarks;
}

bool BuildHeaderBlock(const DiagramList& list, bool legalPosition, bool fairy, std::string& block)
{
    block = fairy       ? "HEADER_PRINT_X Fairy \n"
        : legalPosition ? "HEADER_PRINT\n"
                        : "HEADER_PRINT_X No_Legal \n";
    bool withEnd = fairy || !legalPosition;
    for (PrintHeaderNode* page = list.m_pFirstPage; page; page = page->next) {
        if (page->title.empty() && page->topText.empty() && page->infoText.empty()) {
            block += "\n\n\n";
            continue;
        }
        withEnd = true;
        block += escapePageText(page->title) + '\n';
        block += escapePageText(page->topText) + '\n';
        block += escapePageText(page->infoText) + '\n';
    }
    if (!withEnd) {
        block.clear();
        return false;
    }
    block += headerEnd;
    block += '\n';
    return true;
}

bool HoldsWholeList(const DiagramList& list, Kind kind)
{
    if (kind == Kind::Pgn) return false;
    if (kind != Kind::Fen) return true;
    if (list.m_nStartNumber != 1) return false;
    for (const PrintHeaderNode* page = list.m_pFirstPage; page; page = page->next)
        if (!page->title.empty() || !page->topText.empty() || !page->infoText.empty()) return false;
    for (const DiagramRecord* r = list.m_pFirstDiagram; r; r = r->next) {
        if (!r->comment.empty() || !r->epdOpsBefore.empty() || !r->epdOpsMiddle.empty()
            || !r->epdOpsAfter.empty() || r->flipped || r->colours.Any() || r->rotations.Any())
            return false;
        // The double-step arrow comes back from the en-passant field.
        for (const MarkSlot& slot : r->marks)
            if (slot.from != 0 && slot.type != MarkDoubleStep) return false;
    }
    return true;
}

std::string PositionLine(DiagramList& list, const DiagramRecord& record, const WriteOptions& options)
{
    ExtensionScope scope(list, options.extension);
    return lineOf(list, record, options, KindOf(options.extension));
}

bool WriteList(DiagramList& list, const WriteOptions& writeOptions, std::ostream& out)
{
    ExtensionScope scope(list, writeOptions.extension);
    const Kind kind = KindOf(writeOptions.extension);
    // A BNX file written in fairy mode says so in its header, which also brings the rotation lines: the
    // letters, written as they stand, are then read as they stand, whatever mode the reader is in.
    const bool fairy = kind == Kind::Bnx && FairyForm(list, writeOptions.fairyMode);
    WriteOptions options = writeOptions;
    if (kind == Kind::Bnx) options.fairyMode = fairy;
    std::string text;
    if (kind == Kind::Bnx) {
        std::string header;
        if (BuildHeaderBlock(list, options.legalPosition, fairy, header)) {
            for (char c : header) {
                if (c == '\n') text += '\r';
                text += c;
            }
        }
    }
    for (const DiagramRecord* record = list.m_pFirstDiagram; record; record = record->next) {
        std::string line = lineOf(list, *record, options, kind);
        if (kind == Kind::Pgn) {
            for (int i = 0; i < 8; ++i) text += options.pgnTags[static_cast<size_t>(i)] + "\r\n";
            text += "[FEN \"" + line + "\"]\r\n";
            text += options.pgnTags[8] + "\r\n\r\n *\r\n\r\n";
        } else {
            text += line;
            text += "\r\n";
            if (kind == Kind::Bnx) appendBlock(text, *record, options.allMarkSlots, fairy);
        }
        if (text.size() >= (1 << 16)) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

SaveResult SaveToFile(DiagramList& list, const WriteOptions& options, const std::string& path)
{
    SaveResult result;
    AtomicFile::Result written = AtomicFile::Write(
        path,
        [&](int fd) {
            DescriptorBuffer buffer(fd);
            std::ostream out(&buffer);
            if (!WriteList(list, options, out)) return buffer.error ? buffer.error : EIO;
            return 0;
        },
        true);
    result.ok = written.Ok();
    if (!result.ok) result.reason = reasonOf(written.error);
    return result;
}

ReadResult ReadList(std::istream& in, const ReadOptions& options, DiagramList& list)
{
    ReadResult result;
    list.m_strExtension = options.extension;
    list.m_bLetterFamily2 = options.letterFamily2;
    list.EmptyBoardTemplate = BoardLetters::EmptyBoard(options.letterFamily2);
    const bool correcting = options.correct != nullptr;
    if (correcting) result.corrected = *options.correct;
    bool legal = options.legalCheckActive && !correcting;
    bool fairy = options.fairyMode;
    const bool bnx = KindOf(options.extension) == Kind::Bnx;

    LineReader reader(in);
    std::string line;
    int count = 0;
    auto finish = [&](ReadStatus status) {
        if (reader.failed) status = ReadStatus::CannotRead;
        result.status = status;
        result.diagramsMade = count;
        finishList(list, count);
        return result;
    };

    if (!reader.Next(line)) return finish(ReadStatus::Empty);

    bool rotations = false;
    bool more = true;
    if (bnx && line.starts_with(headerStart)) {
        result.headerRead = true;
        if (line.starts_with(headerOption)) {
            std::string_view option
                = line.size() > 15 ? std::string_view(line).substr(15) : std::string_view();
            option = option.substr(0, option.find(' '));
            if (option.starts_with("No_Legal") || option.starts_with("Fairy")) {
                legal = false;
                result.headerSwitchesLegalOff = true;
            }
            if (option.starts_with('F')) {
                fairy = true;
                result.headerSwitchesFairyOn = true;
                rotations = true;
            }
        }
        std::string title, top, info;
        // A page text longer than any line a file may hold keeps its beginning; the file is corrupted.
        auto nextText = [&](std::string& text) {
            if (!reader.Next(text)) return false;
            if (reader.tooLong) result.corrupted = true;
            return true;
        };
        reader.pageTexts = true;
        while (nextText(title) && !title.starts_with(headerEnd)) {
            if (!nextText(top) || top.starts_with(headerEnd) || !nextText(info)
                || info.starts_with(headerEnd))
                return finish(ReadStatus::HeaderCut);
            list.AddHeaderNode(list.m_pLastPage != nullptr, true);
            list.m_pLastPage->title = unescapePageText(title);
            list.m_pLastPage->topText = unescapePageText(top);
            list.m_pLastPage->infoText = unescapePageText(info);
        }
        reader.pageTexts = false;
        if (reader.failed) return finish(ReadStatus::CannotRead);
        more = reader.Next(line);
    }

    std::vector<ErrorListEntry>& toCorrect = result.corrected.Entries();
    size_t nextEntry = 0;
    while (more) {
        ++result.lineCount;
        LegalityCode code = Legality::Ok;
        ErrorListEntry* corrected = nullptr;
        bool skip = false;
        if (correcting && nextEntry < toCorrect.size()
            && toCorrect[nextEntry].lineNumber == result.lineCount) {
            corrected = &toCorrect[nextEntry++];
            skip = !DiagramKept(corrected->code) && corrected->code >= Legality::SlashCount;
        }
        if (skip)
            code = Legality::SkippedLine;
        else if (reader.tooLong)
            code = LineTooLong;
        else
            code = FenLine::ParsePositionLine(list, line, fairy, legal, rotations);
        const bool made = code == Legality::Ok;

        bool badValue = false;
        if (bnx) {
            BlockEnd end = readBlock(
                reader, made ? list.m_pLastDiagram : nullptr, rotations, badValue, result.fairyMarks);
            if (end == BlockEnd::Corrupted) result.corrupted = true;
            if (end != BlockEnd::Complete) more = false;
        }

        if (code == Legality::Ok) {
            if (corrected) corrected->diagramIndex = count;
            ++count;
            // The value no such line may hold was left out; the diagram stays, and its line is listed.
            if (badValue && !correcting) result.errors.Add(result.lineCount, BadBlockValue);
        } else if (correcting) {
            if (!skip && code != LineTooLong) result.failedAgain.push_back(result.lineCount);
        } else if (code != Legality::SkippedLine) {
            result.errors.Add(result.lineCount, code);
            if (code >= Legality::SlashCount) ++result.formatErrors;
            const int lines = result.lineCount;
            if (lines > 10 && result.formatErrors > lines - lines / 4)
                return finish(ReadStatus::NotPositionFile);
        }
        if (more) more = reader.Next(line);
    }
    if (!correcting && result.lineCount <= result.formatErrors) return finish(ReadStatus::NotPositionFile);
    return finish(ReadStatus::Ok);
}

ReadResult ReadFile(
    const std::string& path, const ReadOptions& options, DiagramList& list, std::string& reason)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        ReadResult result;
        result.status = ReadStatus::CannotRead;
        reason = reasonOf(EISDIR);
        return result;
    }
    // The stream keeps its small buffer: the line reader asks for more than it holds, which the stream
    // then reads straight into the reader's buffer.
    std::ifstream in;
    errno = 0;
    in.open(path, std::ios::binary);
    if (!in) {
        ReadResult result;
        result.status = ReadStatus::CannotRead;
        reason = reasonOf(errno ? errno : ENOENT);
        return result;
    }
    ReadResult result = ReadList(in, options, list);
    if (result.status == ReadStatus::CannotRead) reason = reasonOf(errno ? errno : EIO);
    return result;
}

void ReplaceList(DiagramList& target, DiagramList& source)
{
    target.FreeAllDiagrams();
    target.m_pFirstDiagram = source.m_pFirstDiagram;
    target.m_pLastDiagram = source.m_pLastDiagram;
    target.m_pCurrentDiagram = source.m_pFirstDiagram;
    target.m_nLastIndex = source.m_nLastIndex;
    target.m_nCurrentIndex = 0;
    target.m_nPageCount = source.m_nPageCount;
    target.m_pFirstPage = source.m_pFirstPage;
    target.m_pLastPage = source.m_pLastPage;
    target.m_pCurrentPage = source.m_pFirstPage;
    target.m_bHasPages = source.m_bHasPages;
    target.m_bListAllocated = source.m_bListAllocated;
    target.m_bHasDiagrams = source.m_bHasDiagrams;
    target.m_nStartNumber = source.m_nStartNumber;
    target.m_bEpdMode = source.m_bEpdMode;

    source.m_pFirstDiagram = source.m_pLastDiagram = source.m_pCurrentDiagram = nullptr;
    source.m_pFirstPage = source.m_pLastPage = source.m_pCurrentPage = nullptr;
    source.m_bHasPages = source.m_bListAllocated = source.m_bHasDiagrams = false;
    source.m_nLastIndex = -1;
    source.m_nCurrentIndex = source.m_nPageCount = 0;
}

void AppendList(DiagramList& target, DiagramList& source, bool sourcePagesFromHeader)
{
    if (source.m_pFirstDiagram) {
        chain(target.m_pFirstDiagram, target.m_pLastDiagram, source.m_pFirstDiagram, source.m_pLastDiagram);
        target.m_nLastIndex += source.m_nLastIndex + 1;
        target.m_bListAllocated = target.m_bHasDiagrams = true;
    }
    if (sourcePagesFromHeader && source.m_pFirstPage) {
        chain(target.m_pFirstPage, target.m_pLastPage, source.m_pFirstPage, source.m_pLastPage);
        target.m_bHasPages = true;
        source.m_pFirstPage = source.m_pLastPage = source.m_pCurrentPage = nullptr;
        source.m_bHasPages = false;
    }
    source.m_pFirstDiagram = source.m_pLastDiagram = source.m_pCurrentDiagram = nullptr;
    source.m_bListAllocated = source.m_bHasDiagrams = false;
    source.m_nLastIndex = -1;
    source.FreeAllDiagrams();
    finishList(target, target.m_nLastIndex + 1);
}

} // namespace PositionFile
