// bench_pgn FILE [--runs N] [--fens] [--no-compare]
//
// Lists the games of FILE and replays every one through the scanner and interpreter the import uses,
// a FEN per ply, N times (3 unless told). Each run also times the peers on the same file right beside
// our own figures, so that a ratio is read from one run on a shared machine: `wc -l` for the list, and
// Debian's pgn-extract writing one EPD line per position (-Wepd) for the replay. Every run prints
//   run R list_ms=T wc_l_ms=T list_ratio=R replay_ms=T pgn_extract_ms=T replay_ratio=R
// with the processor time of each beside it (cpu_*), and the last line gives the best of the runs:
//   best list_ms=T (wc_l_ms=T in that run) replay_ratio=R (replay_ms=T pgn_extract_ms=T in that run)
// It also prints the games, plies and failed games, whether the file reads as UTF-8, how many games
// the list leaves out (a line over 16 MB or a game over 64 MB), the memory the list takes and the peak
// memory of the whole run.
// With --fens it prints instead, for each listed game, "# game G" and the six-field FEN after every
// ply; a game whose replay stops ends with "# stops at ply P: MOVE".
// --no-compare leaves the peers out. bench/fetch-pgn-data.sh fetches the games this benchmark is
// meant for (wcc100.pgn: 68,400 games, 49 MB).
#include "pgn/CHeaderPGN.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMs(const rusage& usage)
{
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double ownCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return cpuMs(usage);
}

const char* findTool(std::initializer_list<const char*> places)
{
    for (const char* place : places)
        if (access(place, X_OK) == 0) return place;
    return nullptr;
}

struct Timing {
    double wallMs = -1;
    double cpuMs = -1;
};

// Runs a program with its output thrown away, and times it.
Timing timeProgram(const std::vector<const char*>& arguments)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const char* a : arguments) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    Timing timing;
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            timing.wallMs = msSince(start);
            timing.cpuMs = cpuMs(usage);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return timing;
}

struct Run {
    Timing list;
    Timing wc;
    Timing replay;
    Timing extract;
};

double ratio(double ours, double peer)
{
    return ours >= 0 && peer > 0 ? ours / peer : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const char* path = nullptr;
    bool fens = false;
    bool compare = true;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fens") == 0)
            fens = true;
        else if (std::strcmp(argv[i], "--no-compare") == 0)
            compare = false;
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            path = argv[i];
    }
    if (!path) {
        std::fprintf(stderr, "usage: %s FILE [--runs N] [--fens] [--no-compare]\n", argv[0]);
        return 2;
    }
    const char* wc = compare ? findTool({ "/usr/bin/wc", "/bin/wc" }) : nullptr;
    const char* extract = compare ? findTool({ "/usr/games/pgn-extract", "/usr/bin/pgn-extract" }) : nullptr;
    if (compare && !extract) std::printf("pgn-extract not installed: no replay ratio\n");

    std::vector<Run> results;
    for (int r = 0; r < (fens ? 1 : runs); ++r) {
        Run run;
        CHeaderPGN scanner;
        scanner.fileName = path;
        double cpu = ownCpuMs();
        auto start = Clock::now();
        PgnScanResult result = scanner.ScanFile();
        run.list = { msSince(start), ownCpuMs() - cpu };
        if (result == PgnScanResult::CannotOpen) {
            std::fprintf(stderr, "cannot open %s\n", path);
            return 1;
        }
        if (wc) run.wc = timeProgram({ wc, "-l", path });

        cpu = ownCpuMs();
        start = Clock::now();
        scanner.DetectLetterSet();
        CTraiteUnMot& interpreter = scanner.interpreter;
        long long plies = 0;
        int failed = 0;
        std::string out;
        for (int g = 0; g < scanner.GameCount(); ++g) {
            scanner.LoadGame(scanner.games[static_cast<size_t>(g)].filePosition, g, false);
            plies += static_cast<long long>(interpreter.plies.size());
            if (interpreter.stopped || interpreter.tooManyPlies) ++failed;
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
        run.replay = { msSince(start), ownCpuMs() - cpu };
        if (fens) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            return 0;
        }
        if (extract)
            run.extract = timeProgram({ extract, "-s", "--nofauxep", "-Wepd", "-o", "/dev/null", path });

        if (r == 0) {
            size_t tagBytes = 0;
            for (const PgnGameNode& node : scanner.games) tagBytes += node.listText.size() + node.fen.size();
            std::printf("games=%d plies=%lld failed_games=%d utf8=%d left_out=%d letter_set=%d%s\n",
                scanner.GameCount(), plies, failed, scanner.utf8 ? 1 : 0, scanner.leftOut,
                int(interpreter.fileLetterSet), scanner.listFull ? " list_full" : "");
            if (scanner.GameCount() > 0)
                std::printf("list_bytes_per_game=%.1f list_text_bytes_per_game=%.1f\n",
                    double(sizeof(PgnGameNode)), double(tagBytes) / scanner.GameCount());
        }
        std::printf("run %d list_ms=%.1f wc_l_ms=%.1f list_ratio=%.2f replay_ms=%.0f pgn_extract_ms=%.0f "
                    "replay_ratio=%.3f\n",
            r + 1, run.list.wallMs, run.wc.wallMs, ratio(run.list.wallMs, run.wc.wallMs), run.replay.wallMs,
            run.extract.wallMs, ratio(run.replay.wallMs, run.extract.wallMs));
        std::printf("      cpu_list_ms=%.1f cpu_wc_l_ms=%.1f cpu_replay_ms=%.0f cpu_pgn_extract_ms=%.0f "
                    "cpu_replay_ratio=%.3f\n",
            run.list.cpuMs, run.wc.cpuMs, run.replay.cpuMs, run.extract.cpuMs,
            ratio(run.replay.cpuMs, run.extract.cpuMs));
        std::fflush(stdout);
        results.push_back(run);
    }

    const auto bestList = std::min_element(results.begin(), results.end(),
        [](const Run& a, const Run& b) { return a.list.wallMs < b.list.wallMs; });
    auto bestReplay = std::min_element(results.begin(), results.end(),
        [](const Run& a, const Run& b) { return a.replay.wallMs < b.replay.wallMs; });
    if (extract)
        bestReplay = std::min_element(results.begin(), results.end(), [](const Run& a, const Run& b) {
            return ratio(a.replay.wallMs, a.extract.wallMs) < ratio(b.replay.wallMs, b.extract.wallMs);
        });
    std::printf("best list_ms=%.1f (wc_l_ms=%.1f in that run) replay_ratio=%.3f (replay_ms=%.0f "
                "pgn_extract_ms=%.0f in that run)\n",
        bestList->list.wallMs, bestList->wc.wallMs,
        ratio(bestReplay->replay.wallMs, bestReplay->extract.wallMs), bestReplay->replay.wallMs,
        bestReplay->extract.wallMs);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("max_rss_mb=%.1f\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
