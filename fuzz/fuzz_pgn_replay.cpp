// The move interpreter alone, without the file around it, so that it gets many more inputs a second
// than the whole import: a game's [FEN] value and its move text, replayed ply by ply, and the same
// words through the letter-set detection.
//
// Input: the options byte, the [FEN] value up to the first LF (empty: the standard start), the move
// text. Options: bits 0-3 the file's letter set (0: English), bit 4 coordinate notation, bit 5 comments
// kept, bits 6-7 the display set (English, French, German, the user's).

#include "FuzzSupport.h"
#include "PlyCheck.h"

#include "pgn/CTraiteUnMot.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    size_t lineEnd = input.text.find('\n');
    std::string_view fen = input.text.substr(0, lineEnd);
    std::string_view moves
        = lineEnd == std::string_view::npos ? std::string_view() : input.text.substr(lineEnd + 1);

    CTraiteUnMot interpreter;
    interpreter.SetUserLetters("SGWHK");
    const int fileSet = input.flags & 0x0F;
    interpreter.fileLetterSet = static_cast<uint8_t>(fileSet == 0 ? PgnLetters::EnglishSet : fileSet);
    interpreter.coordinateFlag = input.flag(4) ? 1 : 0;
    interpreter.importComments = input.flag(5) ? 1 : 0;
    // Limits that inputs of a few kilobytes reach.
    interpreter.maxPlies = 60;
    interpreter.maxCommentBytes = 24;

    interpreter.NewGame();
    interpreter.SetFenTag(fen);
    bool complete = interpreter.FeedWords(moves,
        [&](std::string_view word) { return interpreter.ContinueToken(word) == CTraiteUnMot::GameComplete; });
    if (!complete) interpreter.EndGame();
    interpreter.ResetReading();
    CheckPlies(interpreter);
    static const uint32_t displaySets[4] = { PgnLetters::EnglishSet, 7, 2, PgnLetters::UserSet };
    interpreter.SetDisplaySet(displaySets[input.pick(6)]);
    CheckPlies(interpreter);

    // The detection pass over the same words, as the import runs it before the first game is shown.
    CTraiteUnMot detector;
    detector.ResetReading();
    detector.FeedWords(moves, [&](std::string_view word) { return detector.ProcessWord(word); });
    detector.ResetReading();
    FUZZ_CHECK(detector.fileLetterSet <= PgnLetters::SetCount);
    for (int preferred = 0; preferred <= PgnLetters::UserSet; ++preferred) {
        const int set = detector.FittingLetterSet(preferred);
        FUZZ_CHECK(set >= 1 && set < PgnLetters::UserSet);
    }

    // The same text in pieces, cut at every place a word may be cut, hands over the same words.
    std::vector<std::string> whole;
    interpreter.FeedWords(moves, [&](std::string_view word) {
        whole.emplace_back(word);
        return false;
    });
    const size_t cut = moves.empty() ? 0 : input.flags % moves.size();
    std::vector<std::string> pieces;
    CTraiteUnMot::WordFeed feed;
    const size_t used = interpreter.FeedPiece(moves.substr(0, cut), false, feed, [&](std::string_view word) {
        pieces.emplace_back(word);
        return false;
    });
    interpreter.FeedPiece(moves.substr(used), true, feed, [&](std::string_view word) {
        pieces.emplace_back(word);
        return false;
    });
    FUZZ_CHECK(pieces == whole);
    return 0;
}
