// bench_check FILE: checks every line of FILE with a new PositionChecker and prints CODE<TAB>LINE, then
// "lines=N ns_per_check=X reference_ns_per_check=Y differences=D": the time per check of the program's
// checker and, measured in the same run, of the plain reference checker the tests hold it to (best of
// three passes each, taken in turn so that both see the same load), and how many lines the two judged
// differently, which must be 0.
#include "positions/PositionChecker.h"
#include "tests/support/ReferenceChecker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds per check of one pass over the lines; a small file is checked again and again so the
// time per check is not lost in the clock's grain.
template <class Checker>
double timePass(const std::vector<std::string>& lines, std::vector<LegalityCode>& codes)
{
    const auto minimum = std::chrono::milliseconds(200);
    long long passes = 0;
    Clock::duration spent {};
    do {
        auto start = Clock::now();
        for (size_t i = 0; i < lines.size(); ++i) {
            Checker checker;
            codes[i] = checker.CheckFenPosition(lines[i]);
        }
        spent += Clock::now() - start;
        ++passes;
    } while (spent < minimum && !lines.empty());
    double checks = static_cast<double>(passes) * static_cast<double>(lines.size());
    return checks > 0 ? std::chrono::duration<double, std::nano>(spent).count() / checks : 0.0;
}

} // namespace

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
    std::vector<LegalityCode> referenceCodes(lines.size());
    double best = 1e300;
    double referenceBest = 1e300;
    for (int run = 0; run < 3; ++run) {
        best = std::min(best, timePass<PositionChecker>(lines, codes));
        referenceBest = std::min(referenceBest, timePass<reference::ReferenceChecker>(lines, referenceCodes));
    }

    size_t differences = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        differences += codes[i] != referenceCodes[i];
        std::printf("%d\t", codes[i]);
        std::fwrite(lines[i].data(), 1, lines[i].size(), stdout);
        std::fputc('\n', stdout);
    }
    std::printf("lines=%zu ns_per_check=%.1f reference_ns_per_check=%.1f differences=%zu\n", lines.size(),
        best, referenceBest, differences);
    return differences == 0 ? 0 : 1;
}
