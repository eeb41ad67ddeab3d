#include "CTraiteUnMot.h"

#include "Utf8Text.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Words are short and every byte of a game's text passes here: no library call for a few bytes.
bool startsWith(std::string_view text, size_t at, std::string_view prefix)
{
    if (text.size() < at + prefix.size()) return false;
    for (size_t k = 0; k < prefix.size(); ++k)
        if (text[at + k] != prefix[k]) return false;
    return true;
}

// Characters that belong to a move as written: squares, pieces, capture and separator signs, the
// promotion sign, check and annotation marks.
bool isMoveChar(char c)
{
    return isLetter(c) || isDigit(c) || c == ':' || c == '-' || c == '=' || c == '+' || c == '#' || c == '!'
        || c == '?';
}

// "e.p." and its short forms, written after an en-passant capture.
size_t enPassantMarkLength(std::string_view text, size_t at)
{
    if (text[at] != 'e') return 0;
    if (startsWith(text, at, "e.p.")) return 4;
    if (startsWith(text, at, "e.p")) return 3;
    return 0;
}

// The null move "--" of analysis and studies: a word of its own or glued to its move number, with
// the annotation marks a move may carry. "+--" and "---" are marks, not moves.
size_t nullMoveLength(std::string_view word, size_t at)
{
    if (!startsWith(word, at, "--") || (at > 0 && word[at - 1] != '.')) return 0;
    size_t end = at + 2;
    while (end < word.size() && (word[end] == '!' || word[end] == '?')) ++end;
    if (end < word.size() && word[end] != '{' && word[end] != '(' && word[end] != '$') return 0;
    return end - at;
}

// The byte length of the character at `at`: a UTF-8 character, or a single byte of Windows-1252.
size_t characterLength(std::string_view text, size_t at)
{
    if (static_cast<unsigned char>(text[at]) < 0x80) return 1;
    size_t length = Utf8CharacterLength(text, at);
    return length ? length : 1;
}

// Characters that stand between the words of a move text as blanks or points do: no-break and other
// spaces, the ellipsis of "1\xE2\x80\xA6 e5", in UTF-8 and in Windows-1252.
size_t separatorLength(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned first = byte(at);
    if (first == 0xA0 || first == 0x85) return Utf8CharacterLength(text, at) ? 0 : 1;
    if (first == 0xC2 && byte(at + 1) == 0xA0) return 2;
    if (first == 0xE2 && byte(at + 1) == 0x80) {
        const unsigned last = byte(at + 2);
        if (last <= 0x8B || last == 0xA6 || last == 0xAF) return 3;
    }
    if (first == 0xE3 && byte(at + 1) == 0x80 && byte(at + 2) == 0x80) return 3;
    return 0;
}

// The length of a character of 128 and above that is no part of a move: a separator, or a sign (an
// annotation, an arrow) that no letter or digit follows. 0 for a figurine, and for a character glued
// to the letters of a move, which must not be passed over as if it were not there.
size_t passedOverLength(std::string_view text, size_t at)
{
    if (size_t length = separatorLength(text, at)) return length;
    char piece = 0;
    if (PgnLetters::FigurineAt(text, at, piece)) return 0;
    const size_t length = characterLength(text, at);
    if (at + length < text.size() && (isLetter(text[at + length]) || isDigit(text[at + length]))) return 0;
    return length;
}

bool isEnPassantWord(std::string_view token)
{
    return token == "e.p." || token == "e.p" || token == "ep";
}

const char* const resultTexts[3] = { " 1-0 ", " 0-1 ", " 1/2-1/2 " };
constexpr uint32_t NoResult = 4;

// The result at the start of the text (0 "1-0", 1 "0-1", 2 a draw) and its length, or NoResult.
uint32_t resultAt(std::string_view text, size_t at, size_t& length)
{
    // Most words that begin with a digit are move numbers.
    if (at + 1 < text.size() && text[at + 1] != '-' && text[at + 1] != '/' && text[at] != '\xC2'
        && text[at] != '\xBD')
        return NoResult;
    static const struct {
        std::string_view text;
        uint32_t code;
    } results[] = {
        { "1/2-1/2", 2 },
        { "\xC2\xBD-\xC2\xBD", 2 },
        { "\xBD-\xBD", 2 },
        { "1-0", 0 },
        { "0-1", 1 },
        { "1/2", 2 },
    };
    for (const auto& r : results) {
        if (startsWith(text, at, r.text)) {
            length = r.text.size();
            return r.code;
        }
    }
    return NoResult;
}

} // namespace

uint32_t EvaluationSymbol(std::string_view word)
{
    if (word.empty()) return 0;
    if (word[0] == '=') return 1;
    if (static_cast<unsigned char>(word[0]) < 0x80) return 0;
    if (startsWith(word, 0, "\xC2\xB1")) return 2;
    if (startsWith(word, 0, "\xE2\x88\x93") || startsWith(word, 0, "\xE2\x96\xA1")) return 3;
    return 0;
}

CTraiteUnMot::CTraiteUnMot()
    : letterSets(PgnLetters::DefaultSets())
{
    SetStartPosition(true);
}

CTraiteUnMot::~CTraiteUnMot() = default;

void CTraiteUnMot::SetFenTag(std::string_view fen)
{
    if (!fen.empty()) fenTag = fen;
}

void CTraiteUnMot::FreePlyList()
{
    plies.clear();
}

void CTraiteUnMot::ResetReading()
{
    readState = ReadState::Moves;
    depth = 0;
    commentInVariation = false;
}

void CTraiteUnMot::NewGame()
{
    tooManyPlies = false;
    FreePlyList();
    items.clear();
    bufferEmpty = true;
    stopped = false;
    badFen = false;
    stopPly = 0;
    stopMove.clear();
    fenTag.clear();
    ResetReading();
}

void CTraiteUnMot::SetUserLetters(std::string_view letters)
{
    PgnLetters::LetterSet& user = letterSets[PgnLetters::UserSet];
    for (size_t i = 0; i < user.size(); ++i) user[i] = i < letters.size() ? letters[i] : 'Z';
}

void CTraiteUnMot::SetDisplaySet(uint32_t set)
{
    if (set < 1 || set > PgnLetters::SetCount) return;
    displaySet = set;
    for (PlyNode& ply : plies) ply.move = PgnLetters::DisplayMove(ply.san, letterSets[set]);
}

uint32_t CTraiteUnMot::ContinueToken(std::string_view word)
{
    done = GoOn;
    detecting = false;
    Scan(word);
    return done;
}

bool CTraiteUnMot::ProcessWord(std::string_view word)
{
    done = GoOn;
    detecting = true;
    setFound = false;
    Scan(word);
    detecting = false;
    return setFound;
}

void CTraiteUnMot::Scan(std::string_view word)
{
    size_t i = 0;
    while (i < word.size()) {
        // Reading stops where the game ends; a word's rest after a line comment is the caller's to drop.
        if (done != GoOn) return;
        switch (readState) {
        case ReadState::Moves:
            ProcessToken(word, i);
            break;
        case ReadState::Comment:
            ReadComment(word, i);
            break;
        case ReadState::Variation:
        case ReadState::Tag:
            SkipBracketed(word, i);
            break;
        }
    }
    // A comment goes on with the next word, one blank between them.
    if (readState == ReadState::Comment && !items.empty() && !items.back().text.empty()) AppendComment(" ");
}

void CTraiteUnMot::AppendComment(std::string_view text)
{
    if (detecting || !importComments || items.empty() || items.back().kind != GameItem::Comment) return;
    if (commentBytes >= maxCommentBytes) return;
    if (text.size() > maxCommentBytes - commentBytes) {
        // Cut where a character begins, in UTF-8: far beyond what a diagram's text can show.
        size_t keep = maxCommentBytes - commentBytes;
        while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
        text = text.substr(0, keep);
        commentBytes = maxCommentBytes;
    } else {
        commentBytes += text.size();
    }
    items.back().text.append(text);
}

void CTraiteUnMot::ReadComment(std::string_view word, size_t& i)
{
    // Comments do not nest: the first '}' closes.
    size_t close = word.find('}', i);
    size_t end = close == std::string_view::npos ? word.size() : close;
    AppendComment(word.substr(i, end - i));
    if (close == std::string_view::npos) {
        i = word.size();
    } else {
        i = close + 1;
        readState = ReadState::Moves;
    }
}

void CTraiteUnMot::SkipBracketed(std::string_view word, size_t& i)
{
    for (; i < word.size(); ++i) {
        char c = word[i];
        if (readState == ReadState::Tag) {
            if (c == ']') {
                readState = ReadState::Moves;
                ++i;
                return;
            }
            continue;
        }
        // A variation: its comments may hold brackets of their own.
        if (commentInVariation) {
            if (c == '}') commentInVariation = false;
        } else if (c == '{') {
            commentInVariation = true;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) {
                readState = ReadState::Moves;
                ++i;
                return;
            }
        } else if (c == ';') {
            done = SkipRestOfLine;
            i = word.size();
            return;
        }
    }
}

void CTraiteUnMot::ProcessToken(std::string_view word, size_t& i)
{
    const char c = word[i];
    if (size_t symbol = EvaluationSymbol(word.substr(i)); symbol > 0) {
        i += symbol;
        return;
    }
    switch (c) {
    case '{':
        readState = ReadState::Comment;
        AddItem(GameItem::Comment, {});
        ++i;
        return;
    case '(':
        readState = ReadState::Variation;
        depth = 1;
        commentInVariation = false;
        ++i;
        return;
    case '[':
        if (startsWith(word, i, "[Event")) {
            GameEnd(NoResult);
            if (detecting) i = word.size();
            return;
        }
        readState = ReadState::Tag;
        ++i;
        return;
    case ';':
        done = SkipRestOfLine;
        i = word.size();
        return;
    case '%':
        // An escape line: only at the start of a word, as at the start of a line.
        if (i == 0) {
            done = SkipRestOfLine;
            i = word.size();
            return;
        }
        ++i;
        return;
    case '$': {
        size_t j = i + 1;
        int32_t value = 0;
        while (j < word.size() && isDigit(word[j])) {
            if (value < 100000) value = value * 10 + (word[j] - '0');
            ++j;
        }
        if (j > i + 1) AddItem(GameItem::Nag, {}, value);
        i = j;
        return;
    }
    case '*':
        GameEnd(NoResult);
        ++i;
        return;
    default:
        break;
    }

    if (isDigit(c) || static_cast<unsigned char>(c) >= 0x80) {
        // Digit zeros castle ("0-0", "0-0-0"); "0-1" is a result.
        if (!startsWith(word, i, "0-0")) {
            size_t length = 0;
            if (uint32_t result = resultAt(word, i, length); result != NoResult) {
                i += length;
                GameEnd(result);
                return;
            }
            if (!isDigit(c)) {
                // A sign of its own is passed over; a figurine, or a character the letters of a move
                // follow, begins a move, which stops the replay unless it is a figurine.
                if (size_t sign = passedOverLength(word, i)) {
                    i += sign;
                    return;
                }
            } else {
                // A move number, with or without its points: the move may follow glued to it.
                while (i < word.size() && isDigit(word[i])) ++i;
                while (i < word.size() && word[i] == '.') ++i;
                return;
            }
        }
    } else if (size_t length = nullMoveLength(word, i); length > 0) {
        MoveToken(word.substr(i, length));
        i += length;
        return;
    } else if (!isLetter(c)) {
        // Stray marks ("+-", "!", "...", "-+", ")"...) are passed over.
        ++i;
        return;
    }

    size_t j = i;
    while (j < word.size()) {
        if (size_t mark = enPassantMarkLength(word, j)) {
            j += mark;
            break;
        }
        char m = word[j];
        if (isMoveChar(m)) {
            ++j;
        } else if (m == '(' && j + 2 < word.size() && isLetter(word[j + 1]) && word[j + 2] == ')' && j > i
            && isDigit(word[j - 1])) {
            // A promotion written e8(Q).
            j += 3;
        } else if (static_cast<unsigned char>(m) >= 0x80 && (j == i || !passedOverLength(word, j))) {
            // Never skipped inside a move: a figurine is read, any other character makes the move
            // unreadable. A sign glued after the move ("e4\xE2\x80\xBC") ends it.
            char piece = 0;
            size_t length = PgnLetters::FigurineAt(word, j, piece);
            j += length ? length : characterLength(word, j);
        } else {
            break;
        }
    }
    MoveToken(word.substr(i, j - i));
    i = j;
}

void CTraiteUnMot::MoveToken(std::string_view token)
{
    if (isEnPassantWord(token)) return;
    if (detecting) {
        if (DetectLanguage(token)) setFound = true;
        return;
    }
    AddItem(GameItem::Move, token);
}

void CTraiteUnMot::AddItem(GameItem::Kind kind, std::string_view text, int32_t nag)
{
    if (detecting) return;
    if (bufferEmpty) {
        items.clear();
        bufferEmpty = false;
        movesCollected = 0;
        nagsSinceMove = 0;
        commentBytes = 0;
    }
    // Only what a ply can keep is collected, so that a game of any size takes little memory.
    switch (kind) {
    case GameItem::Comment:
        // A comment is read to its end in any case. One before the first move belongs to no ply; the
        // comments after one move make one text.
        if (!importComments || movesCollected == 0) return;
        if (!items.empty() && items.back().kind == GameItem::Comment) {
            std::string& comment = items.back().text;
            while (!comment.empty() && comment.back() == ' ') {
                comment.pop_back();
                if (commentBytes > 0) --commentBytes;
            }
            if (!comment.empty()) AppendComment(" ");
            return;
        }
        // The blank that will join it to the comment before.
        if (commentBytes > 0) ++commentBytes;
        break;
    case GameItem::Nag:
        if (movesCollected == 0 || nag < 1 || nag > 255 || nagsSinceMove >= MaxNags) return;
        ++nagsSinceMove;
        break;
    case GameItem::Move:
        if (movesCollected >= maxPlies) {
            RefuseGame();
            return;
        }
        ++movesCollected;
        nagsSinceMove = 0;
        commentBytes = 0;
        if (text.size() > MaxMoveBytes) {
            // No move is that long: what is kept of it names it, and cannot be read as a move.
            size_t keep = MaxMoveBytes;
            while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
            items.push_back(GameItem { kind, nag, std::string(text.substr(0, keep)) + "\xE2\x80\xA6" });
            return;
        }
        break;
    }
    items.push_back(GameItem { kind, nag, std::string(text) });
}

void CTraiteUnMot::RefuseGame()
{
    // More moves than a legal game can have: nothing of the game is replayed.
    tooManyPlies = true;
    items = {};
    bufferEmpty = true;
    ResetReading();
    done = GameComplete;
}

void CTraiteUnMot::GameEnd(uint32_t result)
{
    readState = ReadState::Moves;
    depth = 0;
    commentInVariation = false;
    if (detecting) return;
    BeginGame();
    if (result < 3 && !plies.empty()) plies.back().comment += resultTexts[result];
    items.clear();
    bufferEmpty = true;
    done = GameComplete;
}

void CTraiteUnMot::EndGame()
{
    detecting = false;
    if (!bufferEmpty || !fenTag.empty()) GameEnd(NoResult);
    ResetReading();
}

bool CTraiteUnMot::DetectLanguage(std::string_view token)
{
    const char first = token.empty() ? 0 : token[0];
    // The letters that stand for pieces, for a game too short to show all five letters of its set: the
    // one in front of a piece move, and the one a pawn is promoted to.
    bool square = false;
    for (size_t k = 1; k + 1 < token.size(); ++k) {
        const char c = token[k];
        const char after = token[k + 1];
        square = square || (c >= 'a' && c <= 'h' && after >= '1' && after <= '8');
        if ((c == '=' || ((c == '1' || c == '8') && token[0] >= 'a' && token[0] <= 'h')) && after >= 'A'
            && after <= 'Z')
            pieceLetters |= 1u << (after - 'A');
    }
    if (first < 'A' || first > 'Z') return false;
    if (square && token[1] != '-') pieceLetters |= 1u << (first - 'A');

    // The user's set is not looked for: its letters serve only for showing moves.
    for (int set = 1; set < PgnLetters::UserSet; ++set)
        for (int k = 0; k < 5; ++k)
            if (letterSets[set][k] == first) letterMarks[set][k] = 1;

    if (!coordinateFlag) {
        // A piece move from square to square: letter, digit, separator, letter, digit.
        size_t p = 1;
        if (token.size() >= p + 5 && token[p] >= 'a' && token[p] <= 'h' && token[p + 1] >= '1'
            && token[p + 1] <= '8' && (token[p + 2] == '-' || token[p + 2] == 'x') && token[p + 3] >= 'a'
            && token[p + 3] <= 'h' && token[p + 4] >= '1' && token[p + 4] <= '8')
            coordinateFlag = 1;
    }
    for (int set = 1; set < PgnLetters::UserSet; ++set) {
        bool all = true;
        for (int k = 0; k < 5; ++k) all = all && letterMarks[set][k];
        if (all) {
            fileLetterSet = static_cast<uint8_t>(set);
            return true;
        }
    }
    return false;
}

namespace {

bool holdsLetters(const PgnLetters::LetterSet& set, uint32_t letters)
{
    uint32_t held = 0;
    for (char c : set)
        if (c >= 'A' && c <= 'Z') held |= 1u << (c - 'A');
    return (letters & ~held) == 0;
}

} // namespace

int CTraiteUnMot::FittingSetCount() const
{
    int count = 0;
    for (int set = 1; set < PgnLetters::UserSet; ++set) count += holdsLetters(letterSets[set], pieceLetters);
    return count;
}

int CTraiteUnMot::FittingLetterSet(int preferred) const
{
    int first = 0;
    for (int set = 1; set < PgnLetters::UserSet; ++set) {
        if (!holdsLetters(letterSets[set], pieceLetters)) continue;
        if (FittingSetCount() == 1) return set;
        if (first == 0) first = set;
    }
    const bool known = preferred >= 1 && preferred < PgnLetters::UserSet;
    if (known && (first == 0 || holdsLetters(letterSets[preferred], pieceLetters))) return preferred;
    if (first == 0 || holdsLetters(letterSets[PgnLetters::EnglishSet], pieceLetters))
        return PgnLetters::EnglishSet;
    return first;
}
