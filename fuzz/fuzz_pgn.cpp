// PGN files as the import reads them: the game list scan, the letter-set detection, and the replay of
// games ply by ply; every ply's position must be one the diagram list can take.
//
// Options byte: bits 0-3 the letter set to display (1..16; 0 keeps English), which is also the
// language the user has chosen for a file that does not tell its letters, bit 4 coordinate notation,
// bit 5 comments kept, bit 6 the user's own letters from the first five bytes, bit 7 the file's letter
// set found by detection (else English). With the display sets 12 to 15 the list's limits are small
// (lines of 200 bytes, games of 1 KB, 24 plies, comments of 20 bytes), so that inputs reach them.

#include "FuzzSupport.h"
#include "PlyCheck.h"

#include "pgn/CHeaderPGN.h"

#include <string>
#include <unistd.h>

namespace {

// One file per fuzzing process, written again for every input: the scanner reads files only.
const std::string& scratchFile()
{
    struct File {
        std::string path;
        ~File() { std::remove(path.c_str()); }
    };
    static const File file { [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/brennix-fuzz-pgn-" + std::to_string(::getpid())
            + ".pgn";
    }() };
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    {
        std::FILE* f = std::fopen(scratchFile().c_str(), "wb");
        if (!f) std::abort();
        if (!input.text.empty()) std::fwrite(input.text.data(), 1, input.text.size(), f);
        std::fclose(f);
    }

    const int display = input.flags & 0x0F;
    PgnLimits limits;
    if (display >= 12) {
        limits.maxLineBytes = 200;
        limits.maxGameBytes = 1024;
        limits.maxPlies = 24;
        limits.maxCommentBytes = 20;
    }
    CHeaderPGN header(limits);
    header.fileName = scratchFile();
    if (header.ScanFile() == PgnScanResult::CannotOpen) std::abort();
    FUZZ_CHECK(header.GameCount() <= CHeaderPGN::MaxGames);
    for (const PgnGameNode& game : header.games) {
        FUZZ_CHECK(game.filePosition >= 0 && game.filePosition <= static_cast<int64_t>(input.text.size()));
        FUZZ_CHECK(game.endPosition == -1 || game.endPosition >= game.filePosition);
    }

    CTraiteUnMot& interpreter = header.interpreter;
    if (input.flag(6) && input.text.size() >= 5) interpreter.SetUserLetters(input.text.substr(0, 5));
    if (input.flag(7))
        header.DetectLetterSet(display);
    else
        interpreter.fileLetterSet = PgnLetters::EnglishSet;
    // The user's letters serve only for showing moves: a file is read in one of the fifteen sets.
    FUZZ_CHECK(interpreter.fileLetterSet >= 1 && interpreter.fileLetterSet < PgnLetters::UserSet);
    interpreter.coordinateFlag = input.flag(4) ? 1 : 0;
    interpreter.importComments = input.flag(5) ? 1 : 0;

    // The first games, as the dialog shows them one after the other.
    const int games = std::min(header.GameCount(), 8);
    for (int i = 0; i < games; ++i) {
        if (input.flag(7)) header.ChooseLetterSet(PgnLetters::EnglishSet + i % 3);
        FUZZ_CHECK(interpreter.fileLetterSet >= 1 && interpreter.fileLetterSet < PgnLetters::UserSet);
        header.LoadGame(header.games[static_cast<size_t>(i)].filePosition, i, false);
        CheckPlies(interpreter);
        if (display != 0) interpreter.SetDisplaySet(static_cast<uint32_t>(display));
    }
    return 0;
}
