#include "CHeaderPGN.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_';
}

// '[', a tag name, blanks and the opening quote of its value. A bracket that opens anything else,
// such as "[%clk 0:10]" inside a comment, is no tag.
bool isTagLine(std::string_view line, size_t at)
{
    if (at >= line.size() || line[at] != '[') return false;
    size_t i = at + 1;
    size_t nameStart = i;
    while (i < line.size() && isNameChar(line[i])) ++i;
    if (i == nameStart) return false;
    while (i < line.size() && isBlank(line[i])) ++i;
    return i < line.size() && line[i] == '"';
}

constexpr size_t ListTextWidth = 45;
constexpr size_t ReadChunk = 1 << 20;

} // namespace

CHeaderPGN::CHeaderPGN() = default;

CHeaderPGN::~CHeaderPGN()
{
    if (stream) std::fclose(stream);
}

PgnScanResult CHeaderPGN::ScanFile()
{
    if (stream) std::fclose(stream);
    stream = std::fopen(fileName.c_str(), "rb");
    games.clear();
    listFull = false;
    readError = false;
    if (!stream) return PgnScanResult::CannotOpen;
    record = PgnHeaderRecord {};
    headerState = true;
    inTagBlock = false;
    goOn = true;
    commentClose = 0;
    commentDepth = 0;

    std::vector<char> chunk(ReadChunk);
    // A line that runs over the end of a chunk is gathered here, however long it is.
    std::string pending;
    int64_t pendingStart = 0;
    int64_t offset = 0;
    while (goOn) {
        size_t n = std::fread(chunk.data(), 1, chunk.size(), stream);
        if (n == 0) {
            if (std::ferror(stream)) readError = true;
            break;
        }
        const char* data = chunk.data();
        size_t start = 0;
        while (goOn && start < n) {
            const void* found = std::memchr(data + start, '\n', n - start);
            if (!found) {
                if (pending.empty()) pendingStart = offset + static_cast<int64_t>(start);
                pending.append(data + start, n - start);
                break;
            }
            size_t end = static_cast<size_t>(static_cast<const char*>(found) - data);
            if (!pending.empty()) {
                pending.append(data + start, end - start);
                ScanLine(pending, pendingStart);
                pending.clear();
            } else {
                ScanLine(std::string_view(data + start, end - start), offset + static_cast<int64_t>(start));
            }
            start = end + 1;
        }
        offset += static_cast<int64_t>(n);
    }
    if (goOn && !pending.empty()) ScanLine(pending, pendingStart);
    std::clearerr(stream);
    return readError ? PgnScanResult::ReadError : PgnScanResult::Ok;
}

void CHeaderPGN::ScanLine(std::string_view line, int64_t lineStart)
{
    size_t p = 0;
    // Files written as UTF-8 may begin with a byte-order mark.
    if (lineStart == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") p = 3;
    while (p < line.size() && isBlank(line[p])) ++p;
    if (commentClose) {
        // A comment left open before the first move ends where the next game's tags begin.
        if (!isTagLine(line, p)) {
            SkipComment(line, 0, lineStart);
            return;
        }
        commentClose = 0;
    }
    if (p >= line.size() || line[p] == '\r') return;
    const char c = line[p];
    if (c == '[' && isTagLine(line, p)) {
        if (!inTagBlock) StartTagBlock(lineStart);
        headerState = true;
        ParseTagLine(line.substr(p));
        return;
    }
    if (c == '%' || c == ';') return;

    inTagBlock = false;
    if (!headerState) return;
    if (record.filePosition < 0) record.filePosition = lineStart;
    if (c == '{' || c == '(') {
        commentClose = c == '{' ? '}' : ')';
        commentDepth = c == '(' ? 1 : 0;
        SkipComment(line, p + 1, lineStart);
        return;
    }
    if (isDigit(c)) {
        size_t q = p;
        while (q < line.size() && isDigit(line[q])) ++q;
        if (q < line.size() && line[q] == '.') AddGameEntry(record, lineStart);
    }
}

void CHeaderPGN::StartTagBlock(int64_t lineStart)
{
    // Every game starts from its own tags: nothing of the game before carries over.
    record = PgnHeaderRecord {};
    inTagBlock = true;
    if (!games.empty() && games.back().endPosition < 0) games.back().endPosition = lineStart;
}

void CHeaderPGN::ParseTagLine(std::string_view line)
{
    // One or more tags: [Name "value"] ...
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size() || line[i] != '[') return;
        size_t nameStart = ++i;
        while (i < line.size() && isNameChar(line[i])) ++i;
        std::string_view name = line.substr(nameStart, i - nameStart);
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size() || line[i] != '"') return;
        ++i;
        // The value ends at the quote that the closing bracket follows; other quotes belong to it.
        std::string value;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i];
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                value += line[i + 1];
                i += 2;
                continue;
            }
            if (c == '"') {
                size_t k = i + 1;
                while (k < line.size() && isBlank(line[k])) ++k;
                if (k < line.size() && line[k] == ']') {
                    i = k + 1;
                    closed = true;
                    break;
                }
            }
            value += c;
            ++i;
        }
        StoreTagValue(name, closed ? std::move(value) : std::string());
        if (!closed) return;
    }
}

void CHeaderPGN::StoreTagValue(std::string_view name, std::string value)
{
    if (name == "Event") {
        record.event = std::move(value);
    } else if (name == "Result") {
        record.result = std::move(value);
    } else if (name == "White") {
        record.white = std::move(value);
    } else if (name == "Black") {
        record.black = std::move(value);
    } else if (name == "Date") {
        for (char& c : value)
            if (c == '.' || c == ' ') c = '-';
        record.date = std::move(value);
    } else if (name == "FEN") {
        record.fen = std::move(value);
    }
}

void CHeaderPGN::AddGameEntry(PgnHeaderRecord& tags, int64_t lineStart)
{
    // A game without a White player is not listed.
    if (tags.white.empty()) return;
    if (games.size() >= static_cast<size_t>(MaxGames)) {
        listFull = true;
        goOn = false;
        return;
    }
    headerState = false;
    inTagBlock = false;
    try {
        PgnGameNode& node = games.emplace_back();
        std::string number = std::to_string(games.size());
        std::string& text = node.listText;
        text.reserve(ListTextWidth + tags.event.size() + tags.date.size() + tags.result.size() + 8);
        if (games.size() < 10) text += '0';
        text += number;
        text += ' ';
        text += tags.white;
        text += " - ";
        text += tags.black;
        if (text.size() < ListTextWidth) text.append(ListTextWidth - text.size(), '_');
        text += '\t';
        text += tags.event;
        text += "  ";
        text += tags.date;
        text += '\t';
        text += tags.result;
        node.fen = std::move(tags.fen);
        node.filePosition = tags.filePosition >= 0 ? tags.filePosition : lineStart;
    } catch (const std::bad_alloc&) {
        if (!games.empty() && games.back().listText.empty()) games.pop_back();
        goOn = false;
        return;
    }
    tags.white.clear();
    tags.black.clear();
    tags.event.clear();
    tags.date.clear();
    tags.result.clear();
    tags.fen.clear();
}

void CHeaderPGN::SkipComment(std::string_view line, size_t from, int64_t lineStart)
{
    size_t i = from;
    while (i < line.size() && line[i] != '\r') {
        const char c = line[i];
        if (commentClose == '}') {
            // Braces do not nest: the first one closes.
            if (c == '}') commentClose = 0;
            ++i;
            continue;
        }
        if (commentClose == ')') {
            if (c == '(') ++commentDepth;
            if (c == ')' && --commentDepth == 0) commentClose = 0;
            ++i;
            continue;
        }
        // The comment is over: look on along the line for another one or the first move number.
        if (isBlank(c)) {
            ++i;
        } else if (c == '{' || c == '(') {
            commentClose = c == '{' ? '}' : ')';
            commentDepth = c == '(' ? 1 : 0;
            ++i;
        } else if (isDigit(c)) {
            size_t q = i;
            while (q < line.size() && isDigit(line[q])) ++q;
            if (q < line.size() && line[q] == '.' && headerState) AddGameEntry(record, lineStart);
            return;
        } else {
            return;
        }
    }
}

bool CHeaderPGN::ReadRange(int64_t from, int64_t to)
{
    gameText.clear();
    if (!stream || fseeko(stream, static_cast<off_t>(from), SEEK_SET) != 0) {
        readError = true;
        return false;
    }
    if (to >= from) {
        gameText.resize(static_cast<size_t>(to - from));
        size_t n = std::fread(gameText.data(), 1, gameText.size(), stream);
        gameText.resize(n);
    } else {
        char chunk[1 << 16];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stream)) > 0) gameText.append(chunk, n);
    }
    if (std::ferror(stream)) {
        readError = true;
        std::clearerr(stream);
        return false;
    }
    std::clearerr(stream);
    return true;
}

bool CHeaderPGN::LoadGame(int64_t filePos, int index, bool detect)
{
    const bool listed = index >= 0 && index < GameCount();
    if (detect) {
        interpreter.ResetReading();
    } else {
        interpreter.NewGame();
        if (listed) interpreter.SetFenTag(games[static_cast<size_t>(index)].fen);
    }
    bool found = false;
    bool complete = false;
    if (ReadRange(filePos, listed ? games[static_cast<size_t>(index)].endPosition : -1)) {
        std::string_view text(gameText);
        size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && isSpace(text[i])) ++i;
            size_t start = i;
            while (i < text.size() && !isSpace(text[i])) ++i;
            if (i == start) break;
            std::string_view word = text.substr(start, i - start);
            if (detect) {
                if (interpreter.ProcessWord(word)) {
                    found = true;
                    break;
                }
            } else if (interpreter.ContinueToken(word) == CTraiteUnMot::GameComplete) {
                complete = true;
                break;
            }
            if (interpreter.SkipsRestOfLine()) {
                size_t end = text.find('\n', i);
                i = end == std::string_view::npos ? text.size() : end + 1;
            }
        }
    }
    if (detect) {
        interpreter.ResetReading();
        return found;
    }
    // The game's text is over: an open comment or variation ends here, and what was read is replayed.
    if (!complete) interpreter.EndGame();
    interpreter.ResetReading();
    return false;
}

int CHeaderPGN::DetectLetterSet()
{
    for (int i = 0; i < GameCount() && interpreter.fileLetterSet == 0; ++i)
        if (LoadGame(games[static_cast<size_t>(i)].filePosition, i, true)) break;
    if (interpreter.fileLetterSet == 0) interpreter.fileLetterSet = PgnLetters::EnglishSet;
    interpreter.ResetReading();
    return interpreter.fileLetterSet;
}
