// bench_check FILE: checks every line of FILE with a new PositionChecker and prints CODE<TAB>LINE,
// then "lines=N ns_per_check=X".
#include "positions/PositionChecker.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }

    std::vector<LegalityCode> codes(lines.size());
    using Clock = std::chrono::steady_clock;
    // A small file is checked again and again so the time per check is not lost in the clock's grain;
    // every pass gives the same codes.
    const auto minimum = std::chrono::milliseconds(200);
    long long passes = 0;
    Clock::duration spent {};
    do {
        auto start = Clock::now();
        for (size_t i = 0; i < lines.size(); ++i) {
            PositionChecker checker;
            codes[i] = checker.CheckFenPosition(lines[i]);
        }
        spent += Clock::now() - start;
        ++passes;
    } while (spent < minimum && !lines.empty());

    for (size_t i = 0; i < lines.size(); ++i) {
        std::printf("%d\t", codes[i]);
        std::fwrite(lines[i].data(), 1, lines[i].size(), stdout);
        std::fputc('\n', stdout);
    }
    double checks = static_cast<double>(passes) * static_cast<double>(lines.size());
    double ns = std::chrono::duration<double, std::nano>(spent).count();
    std::printf("lines=%zu ns_per_check=%.1f\n", lines.size(), checks > 0 ? ns / checks : 0.0);
    return 0;
}
