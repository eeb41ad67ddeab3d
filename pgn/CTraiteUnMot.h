#pragma once

#include "PgnLetters.h"
#include "PgnLimits.h"
#include "PlyNode.h"
#include "positions/PositionChecker.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Byte length of an evaluation symbol at the start of a word: 1 for '=', 2 for the plus-minus sign
// in UTF-8, 3 for the minus-plus sign and the white square, else 0.
uint32_t EvaluationSymbol(std::string_view word);

// Turns the move text of one game, handed over word by word, into plies. The words of the main line
// (moves, comments, NAGs) are collected while variations, tags and line comments are passed over;
// when the game ends (a result, "*", the next "[Event" tag, or EndGame) the moves are replayed from
// the standard start or the game's [FEN] position, one PlyNode per half-move. A move that cannot be
// played ends the replay: the plies before it stay, and the move is reported.
class CTraiteUnMot {
public:
    CTraiteUnMot();
    virtual ~CTraiteUnMot();
    CTraiteUnMot(const CTraiteUnMot&) = delete;
    CTraiteUnMot& operator=(const CTraiteUnMot&) = delete;

    // What ContinueToken asks of its caller.
    static constexpr uint32_t GoOn = 0;
    static constexpr uint32_t GameComplete = 1;
    static constexpr uint32_t SkipRestOfLine = 2;

    // Sets 1..16; set 16 holds the user's letters.
    PgnLetters::SetTable letterSets;
    // The set the move texts of the plies are written in.
    uint32_t displaySet = PgnLetters::EnglishSet;
    // The set the file writes its moves in, 0 until detection has found one.
    uint8_t fileLetterSet = 0;
    // The letter set of a file in which no set shows all five of its letters: the only set whose letters
    // hold every piece letter the file's moves use, else `preferred` (the language the user chose) when
    // it holds them or no set does, else English when it does, else the first set that does. Sets 1..15
    // only: the user's letters serve for showing moves.
    int FittingLetterSet(int preferred) const;
    // How many sets hold every piece letter the file's moves use.
    int FittingSetCount() const;
    // The file writes its moves as origin and target squares (Ng1-f3, e2-e4).
    uint8_t coordinateFlag = 0;
    // Comments are kept in the plies only when this is set.
    uint32_t importComments = 0;

    // The limits of one game (PgnLimits).
    uint32_t maxPlies = PgnLimits {}.maxPlies;
    size_t maxCommentBytes = PgnLimits {}.maxCommentBytes;
    // A ply keeps at most this many NAGs.
    static constexpr uint32_t MaxNags = 8;
    // A word of move text longer than this is no move; only its start is kept, to name it.
    static constexpr size_t MaxMoveBytes = 64;

    // The plies of the game replayed last.
    std::vector<PlyNode> plies;

    // How the last replay ended: with `stopped`, the move `stopMove` that would have been ply
    // `stopPly` could not be played; `badFen` says that the game's [FEN] position could not be read.
    // `tooManyPlies`: the game has more moves than maxPlies and was not replayed at all.
    bool stopped = false;
    bool tooManyPlies = false;
    bool badFen = false;
    uint32_t stopPly = 0;
    std::string stopMove;

    // The game's [FEN ...] value; the next replay starts from it (and forgets it).
    void SetFenTag(std::string_view fen);
    // Reading path: one word of move text. Returns GoOn, GameComplete or SkipRestOfLine.
    uint32_t ContinueToken(std::string_view word);
    // Detection path: one word; true once the file's letter set is known.
    bool ProcessWord(std::string_view word);
    // The end of the game's text: replays what has been collected and not yet replayed, and closes a
    // comment, variation or tag left open.
    void EndGame();
    // Forgets the plies of the last game.
    void FreePlyList();
    // Ready for a new game: no plies, no [FEN], nothing collected, reading from the start state.
    void NewGame();
    // Back to the start state of reading (after the detection pass).
    void ResetReading();
    // The last word opened a line comment or an escape: the rest of its line is not move text.
    bool SkipsRestOfLine() const { return done == SkipRestOfLine; }
    // Hands the words of a game's text to `take` one by one, as a game read does, passing over the rest
    // of a line after a line comment or an escape; true as soon as `take` returns true.
    template <typename Take> bool FeedWords(std::string_view text, Take take) const
    {
        WordFeed feed;
        FeedPiece(text, true, feed, take);
        return feed.taken;
    }

    // Where the words of a text that comes in pieces stand between two pieces.
    struct WordFeed {
        bool skipping = false; // the rest of a line is being passed over
        bool taken = false; // `take` returned true: nothing more is wanted
    };
    // FeedWords for one piece of a text: a word that the end of a piece (not the `last` one) cuts is
    // not handed over; the result is where it begins, for the next piece to start with.
    template <typename Take>
    size_t FeedPiece(std::string_view text, bool last, WordFeed& feed, Take take) const
    {
        // Blank, tab, CR, LF, form feed and vertical tab part the words.
        auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
        const size_t size = text.size();
        size_t i = 0;
        for (;;) {
            if (feed.skipping) {
                while (i < size && text[i] != '\r' && text[i] != '\n') ++i;
                if (i >= size) return size;
                feed.skipping = false;
                ++i;
            }
            while (i < size && space(text[i])) ++i;
            if (i >= size) return size;
            const size_t start = i;
            while (i < size && !space(text[i])) ++i;
            if (i == size && !last) return start;
            if (take(text.substr(start, i - start))) {
                feed.taken = true;
                return i;
            }
            feed.skipping = SkipsRestOfLine();
        }
    }

    // The user's own five letters become set 16.
    void SetUserLetters(std::string_view letters);
    // Writes every ply's move again in the letters of `set` and keeps `set` for later games.
    void SetDisplaySet(uint32_t set);

private:
    enum class ReadState : uint8_t { Moves, Tag, Comment, Variation };
    struct GameItem {
        enum Kind : uint8_t { Move, Nag, Comment } kind;
        int32_t nag;
        std::string text;
    };
    // A move as written, read in the file's letters.
    struct MoveText {
        bool castle = false;
        bool longCastle = false;
        char piece = 0; // English letter, 'P' for a pawn
        bool pieceGiven = false;
        size_t pieceLength = 0; // bytes of the piece letter or figurine in the token
        int fromFile = -1;
        int fromRank = -1;
        int toFile = -1;
        int toRank = -1;
        char promotion = 0; // English letter
        bool capture = false;
        size_t bodyEnd = 0; // end of the squares part in the token
        std::string_view marks; // '+', '#', '!', '?' as written
    };
    // A move resolved to squares.
    struct Move {
        Square from;
        Square to;
        char placed = 0; // the piece that stands on the target afterwards
        Square takenEnPassant;
        Square rookFrom;
        Square rookTo;
    };

    // Reading.
    void ProcessToken(std::string_view word, size_t& i);
    void ReadComment(std::string_view word, size_t& i);
    void SkipBracketed(std::string_view word, size_t& i);
    void Scan(std::string_view word);
    void MoveToken(std::string_view token);
    void AddItem(GameItem::Kind kind, std::string_view text, int32_t nag = 0);
    void AppendComment(std::string_view text);
    void RefuseGame();
    void GameEnd(uint32_t result);
    bool DetectLanguage(std::string_view token);

    // Replay.
    void BeginGame();
    void SetStartPosition(bool standard);
    bool ReadFen(std::string_view fen);
    bool PlaySanMove(std::string_view token);
    bool PlayNullMove(std::string_view token);
    bool ReadMoveText(std::string_view token, MoveText& m) const;
    char EnglishPiece(char letter) const;
    bool PlayPawnMove(const MoveText& m, Move& mv);
    bool PawnMoveFrom(Square from, Square to, char promotion, Move& mv) const;
    bool FindMovingPiece(const MoveText& m, Move& mv);
    bool PlayCastling(bool longCastle, Move& mv);
    bool PlayCoordinateMove(const MoveText& m, Move& mv);
    bool Reaches(Square from, Square to, char piece);
    bool LeavesKingSafe(const Move& mv, uint8_t mover);
    bool KingSafeOn(Square kingFrom, Square square);
    void LoadChecker();
    void Execute(const Move& mv);
    void ClearCastling();
    void AddPlyNode(std::string_view token, const MoveText& m);
    void StoreNag(int32_t nag);
    bool OwnPiece(char c) const;
    bool EnemyPiece(char c) const;
    char Coloured(char english) const { return side ? english : static_cast<char>(english + 32); }

    // Reading state.
    ReadState readState = ReadState::Moves;
    uint32_t depth = 0;
    bool commentInVariation = false;
    bool bufferEmpty = true;
    bool detecting = false;
    bool setFound = false;
    uint32_t done = GoOn;
    std::vector<GameItem> items;
    uint32_t movesCollected = 0;
    uint32_t nagsSinceMove = 0;
    size_t commentBytes = 0; // kept of the comments since the last move
    std::array<std::array<uint8_t, 5>, PgnLetters::SetCount + 1> letterMarks {};
    // Bit k: the letter 'A' + k stands for a piece in a move the detection has seen.
    uint32_t pieceLetters = 0;
    std::string fenTag;

    // The board of the replay, by Square::Index as the checker's; '0' is empty.
    std::array<char, 64> board {};
    uint8_t side = 1; // 1: White to move
    // White short, White long, Black short, Black long.
    std::array<uint8_t, 4> castling {};
    uint32_t halfmoveClock = 0;
    uint32_t plyCounter = 0;
    Square enPassantSquare; // the square a double step has just passed over
    int8_t enPassantFile = -1; // ... when an enemy pawn can take there
    std::array<Square, 2> kingSquare {}; // [0] Black, [1] White
    // The FEN text of each rank (rank 1 first), made again only for the ranks a move has changed.
    std::array<std::array<char, 10>, 8> rankText {};
    std::array<uint8_t, 8> rankLength {};
    uint8_t changedRanks = 0xFF;
    // The checker's board holds the position (it is copied once a move, not once a trial).
    bool checkerInSync = false;
    PositionChecker checker;
};
