// Opens, in the "PGN import" dialog, the largest games the game list lets in, and times it: every game
// that is listed must open in under 2 s and within 300 MB. Each game is written to a file of its own,
// within the list's limits (lines up to 16 MB, games up to 64 MB), and opened in a process of its own,
// so that the peak memory of each is its own:
//   <case> file_mb=M open_ms=T plies=P max_rss_mb=M message="the box the user is shown, if any"
//
//   bench_pgn_open_gui [--keep DIR] [CASE...]   --keep writes the files into DIR and leaves them there;
//                                               cases named run alone
//
// The cases: the longest legal game with eight NAGs and a long comment after every move; a game of
// more moves than any legal game (refused by name); one comment of 63 MB; 63 MB of variations; 63 MB of
// NAGs after one move; words of 15 MB where a move should be.

#include "dialogs/CPgnImport.h"
#include "pgn/PgnLimits.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QListView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t MB = size_t(1) << 20;
const char* const tags = "[Event \"Bench\"]\n[Site \"Here\"]\n[Date \"2024.01.01\"]\n[White \"Large\"]\n"
                         "[Black \"Game\"]\n[Result \"*\"]\n\n";

// Writes the move text of a game with `write`, in lines, until the file reaches `bytes` or `write`
// says it has no more.
using Writer = std::function<bool(std::string& line)>;

void writeGame(const std::string& path, const Writer& write)
{
    std::ofstream out(path, std::ios::binary);
    out << tags;
    std::string line;
    while (write(line)) {
        out << line;
        line.clear();
    }
    out << " *\n";
}

const char* const dance[4] = { "Nf3", "Nf6", "Ng1", "Ng8" };

struct Case {
    const char* name;
    Writer write;
};

std::vector<Case> cases()
{
    const size_t limit = 63 * MB;
    std::vector<Case> all;
    all.push_back({ "longest_legal_game_with_notes", [ply = 0u](std::string& line) mutable {
                       if (ply >= PgnLimits {}.maxPlies) return false;
                       if (ply % 2 == 0) line += std::to_string(ply / 2 + 1) + ". ";
                       line += dance[ply % 4];
                       line += " $1 $3 $5 $7 $10 $14 $16 $18 {";
                       line.append(2500, 'c');
                       line += "}\n";
                       ++ply;
                       return true;
                   } });
    all.push_back(
        { "more_moves_than_a_legal_game", [ply = 0u, bytes = size_t(0), limit](std::string& line) mutable {
             if (bytes >= limit) return false;
             for (int k = 0; k < 64; ++k, ++ply) {
                 if (ply % 2 == 0) line += std::to_string(ply / 2 + 1) + ". ";
                 line += dance[ply % 4];
                 line += ' ';
             }
             line += '\n';
             bytes += line.size();
             return true;
         } });
    all.push_back({ "one_comment_of_63_mb", [part = 0, limit](std::string& line) mutable {
                       if (static_cast<size_t>(part) * MB >= limit) return false;
                       if (part == 0) line += "1. e4 {";
                       line.append(MB - 1, 'c');
                       line += '\n';
                       if (static_cast<size_t>(++part) * MB >= limit) line += "} e5";
                       return true;
                   } });
    all.push_back({ "variations_of_63_mb", [bytes = size_t(0), limit](std::string& line) mutable {
                       if (bytes >= limit) return false;
                       if (bytes == 0) line += "1. e4 ";
                       for (int k = 0; k < 1000; ++k) line += "(1. d4 d5 (1... Nf6 2. c4 {a note}) 2. c4) ";
                       line += '\n';
                       bytes += line.size();
                       if (bytes >= limit) line += "e5";
                       return true;
                   } });
    all.push_back({ "nags_of_63_mb", [bytes = size_t(0), limit](std::string& line) mutable {
                       if (bytes >= limit) return false;
                       if (bytes == 0) line += "1. e4 ";
                       for (int k = 0; k < 10000; ++k) line += "$1 $2 ";
                       line += '\n';
                       bytes += line.size();
                       return true;
                   } });
    all.push_back({ "words_of_15_mb", [part = 0](std::string& line) mutable {
                       if (part == 4) return false;
                       if (part == 0) line += "1. e4 e5 2. ";
                       line.append(15 * MB, 'N');
                       line += '\n';
                       ++part;
                       return true;
                   } });
    return all;
}

// In a process of its own: the dialog lists the file and opens its one game.
int openGame(const std::string& name, const std::string& path, int argc, char** argv)
{
    QApplication app(argc, argv);
    MessageBoxScript boxes;
    DialogScript dialogs;
    CPgnImport dialog;
    dialog.m_strFilePath = path;
    double openMs = -1;
    size_t plies = 0;
    dialogs.Then([&](CDialog& d) {
        auto* list = d.findChild<QListView*>("IDC_1070");
        if (!list || list->model()->rowCount() != 1) return int(IDCANCEL);
        list->setCurrentIndex(list->model()->index(0, 0));
        const auto start = std::chrono::steady_clock::now();
        dialog.OpenSelectedGame();
        openMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        plies = dialog.Records().size();
        return int(IDCANCEL);
    });
    dialog.DoModal();
    dialog.DestroyWindow();
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::string message = boxes.asked.empty() ? std::string() : boxes.asked.back().text;
    if (message.size() > 160) message = message.substr(0, 160) + "...";
    std::printf("%s file_mb=%.1f open_ms=%.0f plies=%zu max_rss_mb=%.1f message=\"%s\"\n", name.c_str(),
        double(std::filesystem::file_size(path)) / MB, openMs, plies, double(usage.ru_maxrss) / 1024.0,
        message.c_str());
    std::fflush(stdout);
    return openMs >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::path folder;
    bool keep = false;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            folder = argv[++i];
            keep = true;
        } else {
            chosen.push_back(argv[i]);
        }
    }
    if (!keep)
        folder = std::filesystem::temp_directory_path() / ("brennix-pgn-open-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // Qt wants a runtime folder of its own; the user's settings are never read.
    const std::string runtime = (folder / "run").string();
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    int failures = 0;
    for (const Case& c : cases()) {
        if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), c.name) == chosen.end()) continue;
        const std::string path = (folder / (std::string(c.name) + ".pgn")).string();
        writeGame(path, c.write);
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) _exit(openGame(c.name, path, argc, argv));
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("%s: the game could not be opened\n", c.name);
            ++failures;
        }
        if (!keep) std::filesystem::remove(path);
    }
    if (!keep) std::filesystem::remove_all(folder);
    return failures ? 1 : 0;
}
