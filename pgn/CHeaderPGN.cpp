#include "CHeaderPGN.h"

#include "Utf8Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

bool isFile(char c)
{
    return c >= 'a' && c <= 'h';
}
bool isRank(char c)
{
    return c >= '1' && c <= '8';
}

// A word that names a square after a letter or a figurine: a move in any language's letters (e4, Nf3,
// Sf3, exd5, Ng1-f3, \xE2\x99\x98f3), or castling. Tag names, result words and free text do not.
bool isMoveWord(std::string_view line, size_t at)
{
    if (at >= line.size()) return false;
    if (line.substr(at, 3) == "O-O" || line.substr(at, 3) == "0-0") return true;
    char piece = 0;
    if (size_t figurine = PgnLetters::FigurineAt(line, at, piece)) {
        at += figurine;
        if (at >= line.size()) return false;
    }
    if (!((line[at] >= 'a' && line[at] <= 'z') || (line[at] >= 'A' && line[at] <= 'Z'))) return false;
    size_t end = at;
    while (end < line.size() && end - at < 12 && !isSpace(line[end]) && line[end] != '{' && line[end] != '('
        && line[end] != ';' && line[end] != '$')
        ++end;
    for (size_t k = at; k + 1 < end; ++k)
        if (isFile(line[k]) && isRank(line[k + 1])) return true;
    return false;
}

// Move text begins here: a move number ("1.", "12...", or the number alone before a move), a move
// written without its number, as puzzle and study files often do, or a NAG ("$10 1. e4").
bool startsMoveText(std::string_view line, size_t at)
{
    if (at >= line.size()) return false;
    if (line[at] == '$') return at + 1 < line.size() && isDigit(line[at + 1]);
    if (!isDigit(line[at])) return isMoveWord(line, at);
    if (isMoveWord(line, at)) return true;
    size_t q = at;
    while (q < line.size() && isDigit(line[q])) ++q;
    if (q < line.size() && line[q] == '.') return true;
    if (q >= line.size() || !isBlank(line[q])) return false;
    while (q < line.size() && isBlank(line[q])) ++q;
    return isMoveWord(line, q);
}

// Counts what the bytes above 127 of a file make as UTF-8: whole characters, and bytes that fit none.
class Utf8Census {
public:
    uint64_t characters = 0;
    uint64_t strays = 0;

    void Add(const unsigned char* p, size_t n)
    {
        size_t i = 0;
        while (i < n) {
            if (need == 0) {
                // Most text is ASCII: 32 bytes at a time.
                while (i + 32 <= n) {
                    uint64_t words[4];
                    std::memcpy(words, p + i, 32);
                    if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull) break;
                    i += 32;
                }
                while (i < n && p[i] < 0x80) ++i;
                if (i >= n) return;
                const unsigned char c = p[i++];
                if (!Utf8Lead(c, need, low, high)) ++strays;
                continue;
            }
            const unsigned char c = p[i];
            if (c < low || c > high) {
                // The character breaks off; this byte begins afresh.
                ++strays;
                need = 0;
                continue;
            }
            ++i;
            low = 0x80;
            high = 0xBF;
            if (--need == 0) ++characters;
        }
    }
    void Finish()
    {
        if (need) ++strays;
        need = 0;
    }

private:
    size_t need = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

constexpr size_t ListTextWidth = 45;
constexpr int64_t ReadChunk = 256 << 10;
constexpr int64_t LargeFile = int64_t(8) << 20;
// What is kept of a line longer than the limit: enough to tell a tag line.
constexpr size_t LongLineHead = 256;

} // namespace

CHeaderPGN::CHeaderPGN(const PgnLimits& limits)
    : limits(limits)
{
    interpreter.maxPlies = limits.maxPlies;
    interpreter.maxCommentBytes = limits.maxCommentBytes;
}

CHeaderPGN::~CHeaderPGN()
{
    if (stream) std::fclose(stream);
}

PgnScanResult CHeaderPGN::ScanFile()
{
    if (stream) std::fclose(stream);
    stream = std::fopen(fileName.c_str(), "rb");
    games.clear();
    texts.Clear();
    listFull = false;
    readError = false;
    utf8 = false;
    leftOut = 0;
    if (!stream) return PgnScanResult::CannotOpen;
    record = PgnHeaderRecord {};
    headerState = true;
    inTagBlock = false;
    goOn = true;
    currentListed = false;
    recordFaulty = false;
    tagsSeen = false;
    commentClose = 0;
    commentDepth = 0;

    // A list takes about one node for every few hundred bytes of its file: the array is set aside once,
    // and a large file's texts go to large blocks.
    struct stat status { };
    const int64_t fileSize = fstat(fileno(stream), &status) == 0 ? static_cast<int64_t>(status.st_size) : 0;
    texts.SetLarge(fileSize >= LargeFile);
    games.reserve(static_cast<size_t>(std::min<int64_t>(MaxGames, fileSize / 16 + 1)));
    // A small file is read at once, into no more memory than it takes.
    const size_t chunkSize = static_cast<size_t>(std::clamp<int64_t>(fileSize + 1, 4096, ReadChunk));
    const auto chunk = std::make_unique_for_overwrite<char[]>(chunkSize);
    Utf8Census census;
    bool byteOrderMark = false;
    // A line that runs over the end of a chunk is gathered here, up to the line limit; of a longer
    // line only its head is kept.
    std::string pending;
    bool pendingOpen = false;
    bool pendingTooLong = false;
    int64_t pendingStart = 0;
    // The last chunk ended with a CR: an LF at the start of the next one belongs to it.
    bool lfAfterCr = false;
    int64_t offset = 0;

    auto gather = [&](const char* p, size_t length) {
        if (pendingTooLong) return;
        if (pending.size() + length <= limits.maxLineBytes) {
            pending.append(p, length);
            return;
        }
        pendingTooLong = true;
        if (pending.size() < LongLineHead) pending.append(p, std::min(length, LongLineHead - pending.size()));
        pending.resize(std::min(pending.size(), LongLineHead));
        pending.shrink_to_fit();
    };
    // Hands over one line without its line end; lines end with LF, CR LF or a CR alone.
    auto line = [&](const char* p, size_t length, int64_t lineStart) {
        if (!pendingOpen) {
            if (length > limits.maxLineBytes)
                ScanLongLine(std::string_view(p, std::min(length, LongLineHead)), lineStart);
            else
                ScanLine(std::string_view(p, length), lineStart);
            return;
        }
        gather(p, length);
        if (pendingTooLong)
            ScanLongLine(pending, pendingStart);
        else
            ScanLine(pending, pendingStart);
        pending.clear();
        pendingOpen = pendingTooLong = false;
    };

    while (goOn) {
        size_t n = std::fread(chunk.get(), 1, chunkSize, stream);
        if (n == 0) {
            if (std::ferror(stream)) readError = true;
            break;
        }
        const char* data = chunk.get();
        if (offset == 0 && n >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) byteOrderMark = true;
        if (!byteOrderMark) census.Add(reinterpret_cast<const unsigned char*>(data), n);
        size_t start = 0;
        if (lfAfterCr && data[0] == '\n') start = 1;
        lfAfterCr = false;
        auto findCr = [&](size_t from) {
            const void* cr = std::memchr(data + from, '\r', n - from);
            return cr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : n;
        };
        size_t cr = start < n ? findCr(start) : n;
        while (goOn && start < n) {
            if (cr < start) cr = findCr(start);
            const void* lf = std::memchr(data + start, '\n', (cr < n ? cr + 1 : n) - start);
            size_t textEnd;
            size_t next;
            if (lf) {
                size_t at = static_cast<size_t>(static_cast<const char*>(lf) - data);
                textEnd = at;
                next = at + 1;
            } else if (cr < n) {
                // A CR alone, or the CR of a CR LF.
                textEnd = cr;
                next = cr + 1;
                if (next < n && data[next] == '\n')
                    ++next;
                else if (next == n)
                    lfAfterCr = true;
            } else {
                if (!pendingOpen) {
                    pendingOpen = true;
                    pendingStart = offset + static_cast<int64_t>(start);
                }
                gather(data + start, n - start);
                break;
            }
            line(data + start, textEnd - start, offset + static_cast<int64_t>(start));
            start = next;
        }
        offset += static_cast<int64_t>(n);
    }
    if (goOn && pendingOpen) line("", 0, pendingStart);
    if (goOn) EndListedGame(offset);
    census.Finish();
    utf8 = byteOrderMark || census.characters > census.strays;
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
    char c = line[p];
    const bool afterTags = c == '[' && isTagLine(line, p);
    if (afterTags) {
        if (!inTagBlock) StartTagBlock(lineStart);
        headerState = true;
        p += ParseTagLine(line.substr(p));
        // The move text may follow the tags on their line; a whole game may stand on one line.
        while (p < line.size() && isBlank(line[p])) ++p;
        if (p >= line.size() || (line[p] != '{' && !startsMoveText(line, p))) return;
        c = line[p];
    } else if (c == '%' || c == ';') {
        return;
    }

    inTagBlock = false;
    if (!headerState) return;
    if (record.filePosition < 0)
        record.filePosition = afterTags ? lineStart + static_cast<int64_t>(p) : lineStart;
    if (c == '{' || c == '(') {
        commentClose = c == '{' ? '}' : ')';
        commentDepth = c == '(' ? 1 : 0;
        SkipComment(line, p + 1, lineStart);
        return;
    }
    if (startsMoveText(line, p)) AddGameEntry(record, lineStart);
}

void CHeaderPGN::ScanLongLine(std::string_view head, int64_t lineStart)
{
    // Nothing of such a line is read: the game it belongs to is left out, whether the line holds
    // its tags or its moves.
    size_t p = 0;
    while (p < head.size() && isBlank(head[p])) ++p;
    commentClose = 0;
    if (isTagLine(head, p)) {
        if (!inTagBlock) StartTagBlock(lineStart);
        headerState = true;
        recordFaulty = true;
        return;
    }
    inTagBlock = false;
    recordFaulty = true;
    if (currentListed) {
        DropCurrentGame();
    } else if (headerState && tagsSeen) {
        // After the tags, the line stands where the moves begin: the game ends here for the list.
        AddGameEntry(record, lineStart);
    }
}

void CHeaderPGN::StartTagBlock(int64_t lineStart)
{
    EndListedGame(lineStart);
    // Every game starts from its own tags: nothing of the game before carries over. The fields keep
    // their room for the next game's values.
    for (std::string* field :
        { &record.white, &record.black, &record.event, &record.date, &record.result, &record.fen })
        field->clear();
    record.filePosition = -1;
    recordFaulty = false;
    inTagBlock = true;
    tagsSeen = true;
}

void CHeaderPGN::EndListedGame(int64_t end)
{
    if (!currentListed) return;
    currentListed = false;
    PgnGameNode& game = games.back();
    if (end - game.filePosition > limits.maxGameBytes) {
        ++leftOut;
        games.pop_back();
        return;
    }
    if (game.endPosition < 0) game.endPosition = end;
}

void CHeaderPGN::DropCurrentGame()
{
    // The list texts number the games as they are listed, so only the last one can go.
    games.pop_back();
    currentListed = false;
    recordFaulty = true;
    ++leftOut;
}

size_t CHeaderPGN::ParseTagLine(std::string_view line)
{
    // One or more tags: [Name "value"] ...
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size() || line[i] != '[') return i;
        const size_t tagStart = i;
        size_t nameStart = ++i;
        while (i < line.size() && isNameChar(line[i])) ++i;
        std::string_view name = line.substr(nameStart, i - nameStart);
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size() || line[i] != '"') return tagStart;
        ++i;
        // The value ends at the quote that the closing bracket follows; other quotes belong to it.
        // Most values are copied straight from the line; one with escaped quotes is taken apart.
        std::string* field = TagField(name);
        const size_t valueStart = i;
        bool escaped = false;
        bool closed = false;
        size_t valueEnd = i;
        while (i < line.size()) {
            const char c = line[i];
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                escaped = true;
                i += 2;
                continue;
            }
            if (c == '"') {
                size_t k = i + 1;
                while (k < line.size() && isBlank(line[k])) ++k;
                if (k < line.size() && line[k] == ']') {
                    valueEnd = i;
                    i = k + 1;
                    closed = true;
                    break;
                }
            }
            ++i;
        }
        if (field) {
            field->clear();
            if (closed) {
                const std::string_view raw = line.substr(valueStart, valueEnd - valueStart);
                if (!escaped) {
                    field->assign(raw);
                } else {
                    for (size_t k = 0; k < raw.size(); ++k) {
                        if (raw[k] == '\\' && k + 1 < raw.size() && (raw[k + 1] == '"' || raw[k + 1] == '\\'))
                            ++k;
                        *field += raw[k];
                    }
                }
                if (field == &record.date)
                    for (char& c : *field)
                        if (c == '.' || c == ' ') c = '-';
            }
        }
        if (!closed) return line.size();
    }
    return i;
}

std::string* CHeaderPGN::TagField(std::string_view name)
{
    if (name == "Event") return &record.event;
    if (name == "Result") return &record.result;
    if (name == "White") return &record.white;
    if (name == "Black") return &record.black;
    if (name == "Date") return &record.date;
    if (name == "FEN") return &record.fen;
    return nullptr;
}

void CHeaderPGN::AddGameEntry(PgnHeaderRecord& tags, int64_t lineStart)
{
    if (recordFaulty) {
        ++leftOut;
        recordFaulty = false;
        headerState = false;
        inTagBlock = false;
        return;
    }
    if (games.size() >= static_cast<size_t>(MaxGames)) {
        listFull = true;
        goOn = false;
        return;
    }
    headerState = false;
    inTagBlock = false;
    try {
        std::string& text = listText;
        text.clear();
        const size_t number = games.size() + 1;
        if (number < 10) text += '0';
        text += std::to_string(number);
        text += ' ';
        text += tags.white;
        text += " - ";
        text += tags.black;
        if (size_t width = ShownWidth(text); width < ListTextWidth) text.append(ListTextWidth - width, '_');
        text += '\t';
        text += tags.event;
        text += "  ";
        text += tags.date;
        text += '\t';
        text += tags.result;
        PgnGameNode node;
        node.listText = texts.Keep(text);
        node.fen = texts.Keep(tags.fen);
        node.filePosition = tags.filePosition >= 0 ? tags.filePosition : lineStart;
        games.push_back(node);
        currentListed = true;
    } catch (const std::bad_alloc&) {
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
        } else {
            if (headerState && startsMoveText(line, i)) AddGameEntry(record, lineStart);
            return;
        }
    }
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
    ReadWords(
        filePos, listed ? games[static_cast<size_t>(index)].endPosition : -1, [&](std::string_view word) {
            if (detect) return found = interpreter.ProcessWord(word);
            return complete = interpreter.ContinueToken(word) == CTraiteUnMot::GameComplete;
        });
    if (detect) {
        interpreter.ResetReading();
        return found;
    }
    // The game's text is over: an open comment or variation ends here, and what was read is replayed.
    if (!complete) interpreter.EndGame();
    interpreter.ResetReading();
    return false;
}

template <typename Take> void CHeaderPGN::ReadWords(int64_t from, int64_t to, Take take)
{
    if (!stream || from < 0) {
        readError = true;
        return;
    }
    // The game is read piece by piece at its offset, without moving the stream, so that a game of
    // any size takes little memory. The last game runs to the end of the file; a file that has grown
    // since the scan is not read beyond the longest game.
    constexpr size_t Piece = size_t(256) << 10;
    const int fd = fileno(stream);
    const int64_t end = to >= from ? std::min(to, from + limits.maxGameBytes) : from + limits.maxGameBytes;
    CTraiteUnMot::WordFeed feed;
    int64_t at = from;
    size_t kept = 0; // the start of a word cut by the end of the last piece
    for (;;) {
        // A word longer than a piece is read on in pieces as long as it, so that it is looked at a few
        // times only.
        const size_t want = static_cast<size_t>(std::min<int64_t>(std::max(Piece, kept), end - at));
        if (gameText.size() < kept + want) gameText.resize(kept + want);
        ssize_t n = 0;
        if (want > 0) {
            n = pread(fd, gameText.data() + kept, want, static_cast<off_t>(at));
            if (n < 0) {
                if (errno == EINTR) continue;
                readError = true;
                break;
            }
        }
        at += n;
        const bool last = n == 0 || at >= end;
        const std::string_view text(gameText.data(), kept + static_cast<size_t>(n));
        const size_t used = interpreter.FeedPiece(text, last, feed, take);
        if (last || feed.taken) break;
        kept = text.size() - used;
        std::memmove(gameText.data(), gameText.data() + used, kept);
    }
    // A word of megabytes made the buffer grow: it is not kept.
    if (gameText.size() > 4 * Piece) std::string().swap(gameText);
}

int CHeaderPGN::DetectLetterSet(int preferred)
{
    for (int i = 0; i < GameCount() && interpreter.fileLetterSet == 0; ++i)
        if (LoadGame(games[static_cast<size_t>(i)].filePosition, i, true)) break;
    letterSetDecided = interpreter.fileLetterSet != 0 || interpreter.FittingSetCount() == 1;
    if (interpreter.fileLetterSet == 0)
        interpreter.fileLetterSet = static_cast<uint8_t>(interpreter.FittingLetterSet(preferred));
    interpreter.ResetReading();
    return interpreter.fileLetterSet;
}

void CHeaderPGN::ChooseLetterSet(int preferred)
{
    if (!letterSetDecided)
        interpreter.fileLetterSet = static_cast<uint8_t>(interpreter.FittingLetterSet(preferred));
}
