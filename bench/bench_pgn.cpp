// bench_pgn FILE [--fens] [--no-compare]
//
// Lists the games of FILE and replays every one through the scanner and interpreter the import uses,
// then prints "games=N list_ms=T replay_ms=T plies=P failed_games=F" and the memory the game list
// takes; when Debian's pgn-extract is installed it also times it writing one EPD line per position of
// the same file and prints the ratio of the two times. With --fens it prints instead, for each listed
// game, "# game G" and the six-field FEN after every ply; a game whose replay stops ends with
// "# stops at ply P: MOVE". It also prints whether the file reads as UTF-8, how many games the list
// leaves out (a line over 16 MB or a game over 64 MB) and the peak memory of the whole run.
// bench/fetch-pgn-data.sh fetches the games this benchmark is meant for.
#include "pgn/CHeaderPGN.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const char* findPgnExtract()
{
    static const char* const places[] = { "/usr/games/pgn-extract", "/usr/bin/pgn-extract" };
    for (const char* place : places)
        if (std::FILE* f = std::fopen(place, "rb")) {
            std::fclose(f);
            return place;
        }
    return nullptr;
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

int main(int argc, char** argv)
{
    const char* path = nullptr;
    bool fens = false;
    bool compare = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fens") == 0)
            fens = true;
        else if (std::strcmp(argv[i], "--no-compare") == 0)
            compare = false;
        else
            path = argv[i];
    }
    if (!path) {
        std::fprintf(stderr, "usage: %s FILE [--fens] [--no-compare]\n", argv[0]);
        return 2;
    }

    CHeaderPGN scanner;
    scanner.fileName = path;
    auto start = Clock::now();
    PgnScanResult result = scanner.ScanFile();
    const double listMs = msSince(start);
    if (result == PgnScanResult::CannotOpen) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }

    size_t listBytes = 0;
    size_t tagBytes = 0;
    for (const PgnGameNode& node : scanner.games) {
        listBytes += sizeof node;
        if (node.listText.capacity() > 15) tagBytes += node.listText.capacity() + 1;
        if (node.fen.capacity() > 15) tagBytes += node.fen.capacity() + 1;
    }

    start = Clock::now();
    scanner.DetectLetterSet();
    CTraiteUnMot& interpreter = scanner.interpreter;
    long long plies = 0;
    int failed = 0;
    std::string out;
    for (int g = 0; g < scanner.GameCount(); ++g) {
        scanner.LoadGame(scanner.games[static_cast<size_t>(g)].filePosition, g, false);
        plies += static_cast<long long>(interpreter.plies.size());
        if (interpreter.stopped) ++failed;
        if (!fens) continue;
        out += "# game " + std::to_string(g + 1) + '\n';
        for (const PlyNode& ply : interpreter.plies) {
            out += FullFen(ply);
            out += '\n';
        }
        if (interpreter.stopped)
            out += "# stops at ply " + std::to_string(interpreter.stopPly) + ": " + interpreter.stopMove
                + '\n';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    const double replayMs = msSince(start);
    if (fens) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        return 0;
    }

    std::printf("games=%d list_ms=%.0f replay_ms=%.0f plies=%lld failed_games=%d\n", scanner.GameCount(),
        listMs, replayMs, plies, failed);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("utf8=%d left_out=%d max_rss_mb=%.1f\n", scanner.utf8 ? 1 : 0, scanner.leftOut,
        double(usage.ru_maxrss) / 1024.0);
    if (scanner.GameCount() > 0)
        std::printf("list_bytes_per_game=%.1f tag_text_bytes_per_game=%.1f letter_set=%d%s\n",
            double(listBytes) / scanner.GameCount(), double(tagBytes) / scanner.GameCount(),
            int(interpreter.fileLetterSet), scanner.listFull ? " list_full" : "");

    if (compare) {
        const char* tool = findPgnExtract();
        if (!tool) {
            std::printf("pgn-extract not installed: no ratio\n");
            return 0;
        }
        std::fflush(stdout);
        std::string command
            = std::string(tool) + " -s --nofauxep -Wepd -o /dev/null " + shellQuoted(path) + " 2>/dev/null";
        start = Clock::now();
        int status = std::system(command.c_str());
        const double toolMs = msSince(start);
        std::printf("pgn_extract_ms=%.0f status=%d replay_ratio=%.2f\n", toolMs, status, replayMs / toolMs);
    }
    return 0;
}
