// The replay of a collected game on the interpreter's own board.
#include "CTraiteUnMot.h"

#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char Empty = '0';
enum Right { WhiteShort, WhiteLong, BlackShort, BlackLong };

// File and rank from 0: file a, the first rank.
constexpr Square at(int file, int rank)
{
    return Square::FromFileRank(file, rank);
}
bool isWhite(char c)
{
    return c >= 'A' && c <= 'Z';
}
bool isBlack(char c)
{
    return c >= 'a' && c <= 'z';
}
char upper(char c)
{
    return isBlack(c) ? static_cast<char>(c - 32) : c;
}
bool isMark(char c)
{
    return c == '+' || c == '#' || c == '!' || c == '?';
}
bool isCastlingO(char c)
{
    return c == 'O' || c == '0' || c == 'o';
}

const char startRanks[8][9]
    = { "RNBQKBNR", "PPPPPPPP", "00000000", "00000000", "00000000", "00000000", "pppppppp", "rnbqkbnr" };

} // namespace

bool CTraiteUnMot::OwnPiece(char c) const
{
    return side ? isWhite(c) : isBlack(c);
}
bool CTraiteUnMot::EnemyPiece(char c) const
{
    return side ? isBlack(c) : isWhite(c);
}

void CTraiteUnMot::SetStartPosition(bool standard)
{
    if (standard) {
        for (int rank = 0; rank < 8; ++rank) std::memcpy(&board[at(0, rank).Index()], startRanks[rank], 8);
        side = 1;
        castling = { 1, 1, 1, 1 };
        kingSquare = { at(4, 7), at(4, 0) };
    } else {
        board.fill(Empty);
        castling = { 0, 0, 0, 0 };
        kingSquare = { Square::None(), Square::None() };
    }
    halfmoveClock = 0;
    plyCounter = 0;
    changedRanks = 0xFF;
    checkerInSync = false;
    enPassantSquare = Square::None();
    enPassantFile = -1;
}

bool CTraiteUnMot::ReadFen(std::string_view fen)
{
    size_t i = 0;
    while (i < fen.size() && fen[i] == ' ') ++i;
    for (int rank = 7; rank >= 0; --rank) {
        int file = 0;
        while (file < 8) {
            if (i >= fen.size()) return false;
            char c = fen[i++];
            if (c >= '1' && c <= '8') {
                file += c - '0';
            } else if (std::strchr("KQRBNPkqrbnp", c) != nullptr && c != 0) {
                board[at(file, rank).Index()] = c;
                if (c == 'K' && !kingSquare[1].Valid()) kingSquare[1] = at(file, rank);
                if (c == 'k' && !kingSquare[0].Valid()) kingSquare[0] = at(file, rank);
                ++file;
            } else {
                return false;
            }
        }
        if (file != 8) return false;
        if (rank > 0) {
            if (i >= fen.size() || fen[i] != '/') return false;
            ++i;
        }
    }
    auto field = [&]() {
        while (i < fen.size() && fen[i] == ' ') ++i;
        size_t start = i;
        while (i < fen.size() && fen[i] != ' ') ++i;
        return fen.substr(start, i - start);
    };
    std::string_view sideField = field();
    side = sideField == "b" ? 0 : 1;
    for (char c : field()) {
        if (c == 'K') castling[WhiteShort] = 1;
        if (c == 'Q') castling[WhiteLong] = 1;
        if (c == 'k') castling[BlackShort] = 1;
        if (c == 'q') castling[BlackLong] = 1;
    }
    std::string_view ep = field();
    if (ep.size() == 2 && ep[0] >= 'a' && ep[0] <= 'h' && (ep[1] == '3' || ep[1] == '6'))
        enPassantSquare = Square::FromName(ep);
    std::string_view clock = field();
    if (!clock.empty() && clock.size() < 6 && clock.find_first_not_of("0123456789") == std::string_view::npos)
        halfmoveClock = static_cast<uint32_t>(std::atoi(std::string(clock).c_str()));
    std::string_view number = field();
    uint32_t fullmove = 1;
    if (!number.empty() && number.size() < 6
        && number.find_first_not_of("0123456789") == std::string_view::npos)
        fullmove = static_cast<uint32_t>(std::atoi(std::string(number).c_str()));
    if (fullmove < 1) fullmove = 1;
    plyCounter = side ? 2 * fullmove - 2 : 2 * fullmove - 1;
    return true;
}

void CTraiteUnMot::BeginGame()
{
    stopped = false;
    badFen = false;
    stopPly = 0;
    stopMove.clear();
    bool fenRead = true;
    if (!fenTag.empty()) {
        SetStartPosition(false);
        fenRead = ReadFen(fenTag);
        fenTag.clear();
    } else {
        SetStartPosition(true);
    }
    plies.reserve(plies.size() + movesCollected);
    for (GameItem& item : items) {
        switch (item.kind) {
        case GameItem::Comment:
            if (!plies.empty() && importComments) {
                // A comment that was never closed still holds the blank before the next word.
                std::string& text = item.text;
                while (!text.empty() && text.back() == ' ') text.pop_back();
                if (text.empty()) break;
                std::string& comment = plies.back().comment;
                if (comment.empty()) {
                    comment = std::move(text);
                } else {
                    comment += ' ';
                    comment += text;
                }
            }
            break;
        case GameItem::Nag:
            StoreNag(item.nag);
            break;
        case GameItem::Move:
            if (!fenRead || !PlaySanMove(item.text)) {
                stopped = true;
                badFen = !fenRead;
                stopPly = plyCounter + 1;
                stopMove = item.text;
                return;
            }
            break;
        }
    }
}

char CTraiteUnMot::EnglishPiece(char letter) const
{
    const int set = fileLetterSet >= 1 && fileLetterSet <= PgnLetters::SetCount ? fileLetterSet
                                                                                : PgnLetters::EnglishSet;
    if (int k = PgnLetters::IndexInSet(letterSets[set], letter); k >= 0) return PgnLetters::English[k];
    // A letter the file's set does not know is read as English.
    if (PgnLetters::EnglishIndex(letter) >= 0) return letter;
    if (letter == 'P') return 'P';
    return 0;
}

bool CTraiteUnMot::ReadMoveText(std::string_view token, MoveText& m) const
{
    if (token.size() >= 4 && token.substr(token.size() - 4) == "e.p.")
        token.remove_suffix(4);
    else if (token.size() >= 3 && token.substr(token.size() - 3) == "e.p")
        token.remove_suffix(3);
    else if (token.size() >= 4 && token.substr(token.size() - 2) == "ep" && token[token.size() - 3] >= '1'
        && token[token.size() - 3] <= '8')
        token.remove_suffix(2);
    if (token.empty()) return false;

    size_t i = 0;
    if (isCastlingO(token[0])) {
        int count = 1;
        i = 1;
        while (i + 1 < token.size() && token[i] == '-' && isCastlingO(token[i + 1])) {
            ++count;
            i += 2;
        }
        if (count == 2 || count == 3) {
            for (size_t k = i; k < token.size(); ++k)
                if (!isMark(token[k])) return false;
            m.castle = true;
            m.longCastle = count == 3;
            m.bodyEnd = i;
            m.marks = token.substr(i);
            return true;
        }
        i = 0;
    }

    const char first = token[0];
    char figurine = 0;
    if (size_t length = PgnLetters::FigurineAt(token, 0, figurine)) {
        // A figurine draws its piece whatever the language.
        m.piece = figurine;
        m.pieceGiven = true;
        m.pieceLength = i = length;
    } else if (first >= 'A' && first <= 'Z') {
        m.piece = EnglishPiece(first);
        if (m.piece == 0) return false;
        m.pieceGiven = true;
        m.pieceLength = i = 1;
    } else if (first >= 'a' && first <= 'h') {
        m.piece = 'P';
    } else {
        return false;
    }

    char kinds[4];
    int values[4];
    int n = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c >= 'a' && c <= 'h' && n < 4) {
            kinds[n] = 'f';
            values[n++] = c - 'a';
        } else if (c >= '1' && c <= '8' && n < 4) {
            kinds[n] = 'r';
            values[n++] = c - '1';
        } else if (c == 'x' || c == 'X' || c == ':') {
            m.capture = true;
        } else if (c != '-') {
            break;
        }
    }
    m.bodyEnd = i;

    if (i < token.size() && !isMark(token[i])) {
        char letter = 0;
        const size_t at = token[i] == '=' ? i + 1 : i;
        if (size_t length = PgnLetters::FigurineAt(token, at, letter)) {
            i = at + length;
            m.promotion = letter;
        } else {
            if (token[i] == '=' && i + 1 < token.size()) {
                letter = token[i + 1];
                i += 2;
            } else if (token[i] == '(' && i + 2 < token.size() && token[i + 2] == ')') {
                letter = token[i + 1];
                i += 3;
            } else {
                letter = token[i];
                i += 1;
            }
            if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
            m.promotion = EnglishPiece(letter);
        }
        if (m.promotion != 'N' && m.promotion != 'B' && m.promotion != 'R' && m.promotion != 'Q')
            return false;
    }
    for (size_t k = i; k < token.size(); ++k)
        if (!isMark(token[k])) return false;
    m.marks = token.substr(i);

    std::string_view pattern(kinds, static_cast<size_t>(n));
    if (pattern == "fr") {
        m.toFile = values[0];
        m.toRank = values[1];
    } else if (pattern == "ffr" || pattern == "rfr") {
        (pattern[0] == 'f' ? m.fromFile : m.fromRank) = values[0];
        m.toFile = values[1];
        m.toRank = values[2];
    } else if (pattern == "frfr") {
        m.fromFile = values[0];
        m.fromRank = values[1];
        m.toFile = values[2];
        m.toRank = values[3];
    } else {
        return false;
    }
    if (m.piece == 'P' && !m.pieceGiven && pattern == "fr") m.fromFile = -1;
    if (m.promotion && m.piece != 'P') return false;
    return true;
}

bool CTraiteUnMot::PlaySanMove(std::string_view token)
{
    MoveText m;
    if (token.substr(0, 2) == "--") return PlayNullMove(token);
    if (!ReadMoveText(token, m)) return false;
    Move mv;
    bool found = false;
    if (m.castle)
        found = PlayCastling(m.longCastle, mv);
    else if (m.fromFile >= 0 && m.fromRank >= 0 && (coordinateFlag || !m.pieceGiven || m.piece == 'P'))
        found = PlayCoordinateMove(m, mv);
    else if (m.piece == 'P')
        found = PlayPawnMove(m, mv);
    else
        found = FindMovingPiece(m, mv);
    if (!found) return false;
    Execute(mv);
    AddPlyNode(token, m);
    return true;
}

bool CTraiteUnMot::PlayNullMove(std::string_view token)
{
    // The side to move passes, to show what the other side threatens; a side in check cannot pass.
    const Square king = kingSquare[side ? 1 : 0];
    if (king.Valid() && !KingSafeOn(king, king)) return false;
    side = side ? 0 : 1;
    enPassantSquare = Square::None();
    enPassantFile = -1;
    ++halfmoveClock;
    ++plyCounter;
    MoveText m;
    m.bodyEnd = 2;
    m.marks = token.substr(2);
    AddPlyNode(token, m);
    return true;
}

void CTraiteUnMot::LoadChecker()
{
    // The checker keeps the board between trials, which put back what they change.
    if (checkerInSync) return;
    checker.board = board;
    checkerInSync = true;
}

bool CTraiteUnMot::Reaches(Square from, Square to, char piece)
{
    const int files = std::abs(from.File() - to.File());
    const int ranks = std::abs(from.Rank() - to.Rank());
    switch (upper(piece)) {
    case 'K':
        return files <= 1 && ranks <= 1;
    case 'N':
        return (files == 1 && ranks == 2) || (files == 2 && ranks == 1);
    case 'B':
        if (files != ranks) return false;
        break;
    case 'R':
        if (files != 0 && ranks != 0) return false;
        break;
    default:
        if (files != ranks && files != 0 && ranks != 0) return false;
        break;
    }
    // A line piece: the squares between must be empty.
    LoadChecker();
    return checker.CheckPath(static_cast<int8_t>(from.Row()), static_cast<int8_t>(from.Column()),
        static_cast<uint8_t>(piece), static_cast<int8_t>(to.Row()), static_cast<int8_t>(to.Column()));
}

bool CTraiteUnMot::LeavesKingSafe(const Move& mv, uint8_t mover)
{
    Square king = kingSquare[mover ? 1 : 0];
    if (!king.Valid()) return true; // a position without that king: nothing to protect
    LoadChecker();
    // The squares the trial changes, to put them back afterwards.
    const Square changed[5] = { mv.from, mv.to, mv.takenEnPassant, mv.rookFrom, mv.rookTo };
    char kept[5];
    for (int k = 0; k < 5; ++k) kept[k] = changed[k].Valid() ? checker.board[changed[k].Index()] : 0;
    checker.board[mv.from.Index()] = Empty;
    checker.board[mv.to.Index()] = mv.placed;
    if (mv.takenEnPassant.Valid()) checker.board[mv.takenEnPassant.Index()] = Empty;
    if (mv.rookFrom.Valid()) {
        checker.board[mv.rookTo.Index()] = checker.board[mv.rookFrom.Index()];
        checker.board[mv.rookFrom.Index()] = Empty;
    }
    if (king == mv.from) king = mv.to;
    int8_t column = static_cast<int8_t>(king.Column());
    int8_t row = static_cast<int8_t>(king.Row());
    if (mover) {
        checker.whiteKingCol = column;
        checker.whiteKingRow = row;
    } else {
        checker.blackKingCol = column;
        checker.blackKingRow = row;
    }
    const bool safe = !checker.IsInCheck(mover);
    for (int k = 4; k >= 0; --k)
        if (changed[k].Valid()) checker.board[changed[k].Index()] = kept[k];
    return safe;
}

bool CTraiteUnMot::KingSafeOn(Square kingFrom, Square square)
{
    Move step;
    step.from = kingFrom;
    step.to = square;
    step.placed = board[kingFrom.Index()];
    return LeavesKingSafe(step, side);
}

bool CTraiteUnMot::PawnMoveFrom(Square from, Square to, char promotion, Move& mv) const
{
    const char pawn = side ? 'P' : 'p';
    if (!from.Valid() || board[from.Index()] != pawn) return false;
    const int forward = side ? 1 : -1;
    const int steps = (to.Rank() - from.Rank()) * forward;
    const int sideways = to.File() - from.File();
    const char target = board[to.Index()];
    mv = Move {};
    mv.from = from;
    mv.to = to;
    if (sideways == 0) {
        if (target != Empty) return false;
        if (steps == 2) {
            if (from.Rank() != (side ? 1 : 6) || board[from.Moved(0, forward).Index()] != Empty) return false;
        } else if (steps != 1) {
            return false;
        }
    } else if ((sideways == 1 || sideways == -1) && steps == 1) {
        if (target == Empty) {
            if (to != enPassantSquare) return false;
            mv.takenEnPassant = at(to.File(), from.Rank());
            if (board[mv.takenEnPassant.Index()] != (side ? 'p' : 'P')) return false;
        } else if (!EnemyPiece(target) || upper(target) == 'K') {
            return false;
        }
    } else {
        return false;
    }
    // A pawn that reaches the last rank must become a piece, and only there.
    const bool lastRank = to.Rank() == (side ? 7 : 0);
    if (lastRank != (promotion != 0)) return false;
    mv.placed = promotion ? Coloured(promotion) : pawn;
    return true;
}

bool CTraiteUnMot::PlayPawnMove(const MoveText& m, Move& mv)
{
    const int forward = side ? 1 : -1;
    const Square to = at(m.toFile, m.toRank);
    const int behind = m.toRank - forward;
    if (behind < 0 || behind > 7) return false;
    Square from;
    if (m.fromFile < 0 || m.fromFile == m.toFile) {
        from = at(m.toFile, behind);
        // No pawn directly behind an empty square: a double step.
        if (board[from.Index()] != Coloured('P') && board[from.Index()] == Empty && behind - forward >= 0
            && behind - forward <= 7)
            from = at(m.toFile, behind - forward);
    } else {
        from = at(m.fromFile, behind);
    }
    return PawnMoveFrom(from, to, m.promotion, mv) && LeavesKingSafe(mv, side);
}

bool CTraiteUnMot::FindMovingPiece(const MoveText& m, Move& mv)
{
    const char piece = Coloured(m.piece);
    const Square to = at(m.toFile, m.toRank);
    if (OwnPiece(board[to.Index()]) || upper(board[to.Index()]) == 'K') return false;
    int found = 0;
    // The squares that hold the piece, rank 1 first and file a first, eight squares (a rank) at a time.
    static_assert(std::endian::native == std::endian::little, "file a is the lowest byte of a rank");
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t pattern = ones * static_cast<unsigned char>(piece);
    for (int rank = 0; rank < 8; ++rank) {
        uint64_t row;
        std::memcpy(&row, &board[static_cast<size_t>(at(0, rank).Index())], 8);
        const uint64_t x = row ^ pattern;
        // A high bit in every byte of x that is zero.
        uint64_t same = ~(((x & low7) + low7) | x | low7);
        while (same) {
            const Square from = at(std::countr_zero(same) / 8, rank);
            same &= same - 1;
            if (m.fromFile >= 0 && from.File() != m.fromFile) continue;
            if (m.fromRank >= 0 && from.Rank() != m.fromRank) continue;
            Move trial;
            trial.from = from;
            trial.to = to;
            trial.placed = piece;
            if (!Reaches(from, to, piece) || !LeavesKingSafe(trial, side)) continue;
            if (++found > 1) return false;
            mv = trial;
        }
    }
    return found == 1;
}

bool CTraiteUnMot::PlayCastling(bool longCastle, Move& mv)
{
    const int rank = side ? 0 : 7;
    const Square king = at(4, rank);
    const Square rook = at(longCastle ? 0 : 7, rank);
    const Right right = side ? (longCastle ? WhiteLong : WhiteShort) : (longCastle ? BlackLong : BlackShort);
    if (!castling[right] || board[king.Index()] != Coloured('K') || board[rook.Index()] != Coloured('R'))
        return false;
    for (int file = longCastle ? 1 : 5; file <= (longCastle ? 3 : 6); ++file)
        if (board[at(file, rank).Index()] != Empty) return false;
    // The king may not castle out of check nor across an attacked square.
    const Square passed = at(longCastle ? 3 : 5, rank);
    if (!KingSafeOn(king, king) || !KingSafeOn(king, passed)) return false;
    mv = Move {};
    mv.from = king;
    mv.to = at(longCastle ? 2 : 6, rank);
    mv.placed = board[king.Index()];
    mv.rookFrom = rook;
    mv.rookTo = passed;
    return LeavesKingSafe(mv, side);
}

bool CTraiteUnMot::PlayCoordinateMove(const MoveText& m, Move& mv)
{
    const Square from = at(m.fromFile, m.fromRank);
    const Square to = at(m.toFile, m.toRank);
    const char piece = board[from.Index()];
    if (!OwnPiece(piece)) return false;
    if (m.pieceGiven && !coordinateFlag && piece != Coloured(m.piece)) return false;
    if (upper(piece) == 'P') return PawnMoveFrom(from, to, m.promotion, mv) && LeavesKingSafe(mv, side);
    if (m.promotion) return false;
    // The king's two-square step is castling in this notation.
    if (upper(piece) == 'K' && from == at(4, side ? 0 : 7) && to.Rank() == from.Rank()
        && (to.File() == 6 || to.File() == 2))
        return PlayCastling(to.File() == 2, mv);
    if (from == to || OwnPiece(board[to.Index()]) || upper(board[to.Index()]) == 'K'
        || !Reaches(from, to, piece))
        return false;
    mv = Move {};
    mv.from = from;
    mv.to = to;
    mv.placed = piece;
    return LeavesKingSafe(mv, side);
}

void CTraiteUnMot::Execute(const Move& mv)
{
    const char piece = board[mv.from.Index()];
    const bool capture = board[mv.to.Index()] != Empty || mv.takenEnPassant.Valid();
    const bool pawn = upper(piece) == 'P';
    board[mv.to.Index()] = mv.placed;
    board[mv.from.Index()] = Empty;
    changedRanks |= static_cast<uint8_t>((1u << mv.to.Rank()) | (1u << mv.from.Rank()));
    checkerInSync = false;
    if (mv.takenEnPassant.Valid()) {
        board[mv.takenEnPassant.Index()] = Empty;
        changedRanks |= static_cast<uint8_t>(1u << mv.takenEnPassant.Rank());
    }
    if (mv.rookFrom.Valid()) {
        board[mv.rookTo.Index()] = board[mv.rookFrom.Index()];
        board[mv.rookFrom.Index()] = Empty;
    }
    if (upper(piece) == 'K') kingSquare[side ? 1 : 0] = mv.to;
    halfmoveClock = pawn || capture ? 0 : halfmoveClock + 1;
    ClearCastling();

    const bool doubleStep
        = pawn && mv.to.File() == mv.from.File() && std::abs(mv.to.Rank() - mv.from.Rank()) == 2;
    enPassantSquare = doubleStep ? at(mv.to.File(), (mv.from.Rank() + mv.to.Rank()) / 2) : Square::None();
    side = side ? 0 : 1;
    enPassantFile = -1;
    if (doubleStep) {
        // The file is kept only when the other side can really take en passant.
        const char enemyPawn = side ? 'P' : 'p';
        for (int beside : { mv.to.File() - 1, mv.to.File() + 1 }) {
            if (beside < 0 || beside > 7) continue;
            const Square from = at(beside, mv.to.Rank());
            if (board[from.Index()] != enemyPawn) continue;
            Move take;
            take.from = from;
            take.to = enPassantSquare;
            take.placed = enemyPawn;
            take.takenEnPassant = mv.to;
            if (LeavesKingSafe(take, side)) {
                enPassantFile = static_cast<int8_t>(mv.to.File());
                break;
            }
        }
    }
    ++plyCounter;
}

void CTraiteUnMot::ClearCastling()
{
    // A right goes with its king or rook, whether it moved or was taken on its square.
    if (board[at(4, 0).Index()] != 'K') castling[WhiteShort] = castling[WhiteLong] = 0;
    if (board[at(4, 7).Index()] != 'k') castling[BlackShort] = castling[BlackLong] = 0;
    if (board[at(7, 0).Index()] != 'R') castling[WhiteShort] = 0;
    if (board[at(0, 0).Index()] != 'R') castling[WhiteLong] = 0;
    if (board[at(7, 7).Index()] != 'r') castling[BlackShort] = 0;
    if (board[at(0, 7).Index()] != 'r') castling[BlackLong] = 0;
}

void CTraiteUnMot::AddPlyNode(std::string_view token, const MoveText& m)
{
    PlyNode& ply = plies.emplace_back();
    for (int rank = 0; rank < 8; ++rank) {
        if (!(changedRanks & (1u << rank))) continue;
        const char* row = &board[static_cast<size_t>(at(0, rank).Index())];
        char* text = rankText[static_cast<size_t>(rank)].data();
        // Written without a branch a square: the pieces of real games follow no pattern a processor
        // could guess. Every square writes, and the length moves on only past what counts.
        int length = 0;
        int run = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = row[file];
            const int piece = c != Empty;
            text[length] = static_cast<char>('0' + run);
            length += piece & (run > 0);
            text[length] = c;
            length += piece;
            run = (run + 1) * (1 - piece);
        }
        text[length] = static_cast<char>('0' + run);
        length += run > 0;
        rankLength[static_cast<size_t>(rank)] = static_cast<uint8_t>(length);
    }
    changedRanks = 0;
    // A blank, eight ranks of at most 8 characters with '/' between them, side and rights: 79 at most,
    // and the 8 bytes copied for the last rank stay within the buffer.
    char fen[PlyFen::Capacity];
    char* out = fen;
    *out++ = ' ';
    for (int rank = 7; rank >= 0; --rank) {
        std::memcpy(out, rankText[static_cast<size_t>(rank)].data(), 8);
        out += rankLength[static_cast<size_t>(rank)];
        if (rank) *out++ = '/';
    }
    *out++ = ' ';
    *out++ = side ? 'w' : 'b';
    *out++ = ' ';
    if (castling[WhiteShort]) *out++ = 'K';
    if (castling[WhiteLong]) *out++ = 'Q';
    if (castling[BlackShort]) *out++ = 'k';
    if (castling[BlackLong]) *out++ = 'q';
    ply.fen.assign(fen, static_cast<size_t>(out - fen));

    ply.plyNumber = plyCounter;
    ply.fullmoveNumber = plyCounter / 2 + 1;
    ply.halfmoveClock = std::to_string(halfmoveClock);
    ply.enPassantFile = enPassantFile;

    // The move in English letters, as written but for its letters and its promotion sign.
    std::string& san = ply.san;
    if (m.castle) {
        san = m.longCastle ? "O-O-O" : "O-O";
    } else {
        // The piece in its English letter, whether the file wrote it in another letter or as a figurine.
        san.clear();
        if (m.pieceGiven && !(m.piece == 'P' && m.pieceLength > 1)) san += m.piece;
        san.append(token.substr(m.pieceLength, m.bodyEnd - m.pieceLength));
        if (m.promotion) {
            san += '=';
            san += m.promotion;
        }
    }
    san += m.marks;
    ply.move = PgnLetters::DisplayMove(san,
        letterSets[displaySet >= 1 && displaySet <= PgnLetters::SetCount ? displaySet
                                                                         : PgnLetters::EnglishSet]);
}

void CTraiteUnMot::StoreNag(int32_t nag)
{
    if (plies.empty() || nag < 1 || nag > 255) return;
    for (int32_t& slot : plies.back().nags) {
        if (slot == 0) {
            slot = nag;
            return;
        }
    }
}
