#pragma once

#include "CTraiteUnMot.h"
#include "ListMemory.h"
#include "PgnLimits.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The tags of the game being listed; emptied at the start of every tag block.
struct PgnHeaderRecord {
    std::string white;
    std::string black;
    std::string event;
    std::string date;
    std::string result;
    std::string fen;
    // Byte offset of the game's first move-text line, -1 until it is met.
    int64_t filePosition = -1;
};

// One listed game. Its texts live in the list's text store.
struct PgnGameNode {
    // "01 White - Black____...<tab>Event  Date<tab>Result", as the game list shows it.
    std::string_view listText;
    // The game's [FEN] value, empty when it starts from the standard position.
    std::string_view fen;
    // Byte offsets of the game's move text and of the tag block after it (-1: the end of the file).
    int64_t filePosition = 0;
    int64_t endPosition = -1;
};

enum class PgnScanResult {
    Ok,
    CannotOpen, // "I cannot open the file"
    ReadError, // "This is not a PGN file or it is corrupted."
};

// Lists the games of a PGN file in one pass, then reads one game at a time from its stored offset
// and hands its words to the interpreter, to replay it or to find the file's letter set.
class CHeaderPGN {
public:
    static constexpr int MaxGames = 100000;

    explicit CHeaderPGN(const PgnLimits& limits = {});
    virtual ~CHeaderPGN();
    CHeaderPGN(const CHeaderPGN&) = delete;
    CHeaderPGN& operator=(const CHeaderPGN&) = delete;

    // Set before ScanFile.
    std::string fileName;
    // The listed games in file order; the index is the game's place in the list.
    std::vector<PgnGameNode, ListMemory::Allocator<PgnGameNode>> games;
    // The file holds more games than the list can take; those after the last listed one are left out.
    bool listFull = false;
    // A read failed; what was read before stays.
    bool readError = false;
    // The file's texts are UTF-8: it begins with a byte-order mark, or its bytes above 127 form
    // UTF-8 characters more often than not. Otherwise they are Windows-1252.
    bool utf8 = false;
    // Games with move text that are not listed: a line longer than the limits' maxLineBytes, or the
    // whole game longer than their maxGameBytes.
    int leftOut = 0;
    CTraiteUnMot interpreter;

    int GameCount() const { return static_cast<int>(games.size()); }

    // Opens the file (kept open for the game reads) and lists its games.
    PgnScanResult ScanFile();
    // Reads the game at `index` from `filePos`. Without `detect` the game is replayed into the
    // interpreter's plies, and the result is false; with `detect` its words go to the letter-set
    // detection, and the result is true as soon as the set is known.
    bool LoadGame(int64_t filePos, int index, bool detect);
    // Looks for the file's letter set game after game, reading the file at most once. When no set shows
    // all five of its letters, the set that fits the piece letters of the file's moves, else
    // `preferred` (see CTraiteUnMot::FittingLetterSet). The interpreter keeps the set, and is left
    // ready to read games.
    int DetectLetterSet(int preferred = PgnLetters::EnglishSet);
    // Whether the file itself tells its letter set; otherwise the set follows the language the user
    // chooses (ChooseLetterSet).
    bool LetterSetDecided() const { return letterSetDecided; }
    // A file that does not tell its letter set is read in the letters of `preferred`, when they fit.
    void ChooseLetterSet(int preferred);

private:
    void ScanLine(std::string_view line, int64_t lineStart);
    void ScanLongLine(std::string_view head, int64_t lineStart);
    void EndListedGame(int64_t end);
    void DropCurrentGame();
    void StartTagBlock(int64_t lineStart);
    // Reads the tags at the start of the line; returns where they end (the line's length when a tag
    // is not closed).
    size_t ParseTagLine(std::string_view line);
    // The field of the tag record that keeps this tag's value, or nullptr for a tag the list does not show.
    std::string* TagField(std::string_view name);
    void AddGameEntry(PgnHeaderRecord& record, int64_t lineStart);
    void SkipComment(std::string_view line, size_t from, int64_t lineStart);
    // Hands the words of the file between the two offsets (to: -1, the end of the file) to `take`.
    template <typename Take> void ReadWords(int64_t from, int64_t to, Take take);

    const PgnLimits limits;
    std::FILE* stream = nullptr;
    PgnHeaderRecord record;
    bool headerState = true;
    bool inTagBlock = false;
    bool goOn = true;
    // The last listed game is the one whose tags were read last, so its text is still going on.
    bool currentListed = false;
    // The tags read last belong to a game that is left out.
    bool recordFaulty = false;
    bool tagsSeen = false;
    bool letterSetDecided = false;
    char commentClose = 0;
    uint32_t commentDepth = 0;
    std::string gameText;
    // The texts of the listed games, and the list text of the game being listed.
    ListMemory::TextStore texts;
    std::string listText;
};
